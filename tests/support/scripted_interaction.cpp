#include "support/scripted_interaction.h"

namespace ostrel {

void ScriptedInteraction::message(const QString& text, const QString& title, MessageIcon icon)
{
    messages.append(Message{text, title, icon});
}

bool ScriptedInteraction::question(const QString& text, const QString& title)
{
    questions.append(Message{text, title, MessageIcon::Question});
    return questionAnswers.isEmpty() ? true : questionAnswers.takeFirst();
}

Answer ScriptedInteraction::askYesNoCancel(const QString& text, const QString& title)
{
    questions.append(Message{text, title, MessageIcon::Question});
    return choiceAnswers.isEmpty() ? Answer::No : choiceAnswers.takeFirst();
}

QString ScriptedInteraction::openFile(const QString& filter, const QString&)
{
    askedFilters << filter;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedInteraction::saveFile(const QString& filter, const QString& proposedName)
{
    askedFilters << filter;
    proposedNames << proposedName;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

std::optional<QColor> ScriptedInteraction::chooseColor(const QColor&)
{
    if (colorAnswers.isEmpty())
        return std::nullopt;
    return colorAnswers.takeFirst();
}

std::optional<QFont> ScriptedInteraction::chooseFont(const QFont&)
{
    if (fontAnswers.isEmpty())
        return std::nullopt;
    return fontAnswers.takeFirst();
}

QStringList ScriptedInteraction::texts() const
{
    QStringList out;
    for (const Message& m : messages)
        out << m.text;
    return out;
}

void ScriptedInteraction::clear()
{
    messages.clear();
    questions.clear();
}

} // namespace ostrel
