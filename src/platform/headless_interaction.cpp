#include "platform/headless_interaction.h"

namespace ostrel {

void HeadlessInteraction::message(const QString& text, const QString& title, MessageIcon icon)
{
    messages_.append(Message{text, title, icon});
    if (sink_)
        sink_(messages_.constLast());
}

bool HeadlessInteraction::question(const QString&, const QString&)
{
    return false;
}

Answer HeadlessInteraction::askYesNoCancel(const QString&, const QString&)
{
    return Answer::Cancel;
}

QString HeadlessInteraction::openFile(const QString&, const QString&)
{
    return QString();
}

QString HeadlessInteraction::saveFile(const QString&, const QString&)
{
    return QString();
}

std::optional<QColor> HeadlessInteraction::chooseColor(const QColor&)
{
    return std::nullopt;
}

std::optional<QFont> HeadlessInteraction::chooseFont(const QFont&)
{
    return std::nullopt;
}

QStringList HeadlessInteraction::texts() const
{
    QStringList out;
    for (const Message& m : messages_)
        out << m.text;
    return out;
}

} // namespace ostrel
