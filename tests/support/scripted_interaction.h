#pragma once
// Interaction that records every message and answers the choosers from a
// script: the test double of the interaction seam (tests only; headless
// programs use HeadlessInteraction).
#include "platform/interaction.h"
#include <QList>
#include <QStringList>

namespace ostrel {

class ScriptedInteraction : public Interaction {
public:
    QList<Message> messages;      // every message shown, in order
    QStringList fileAnswers;      // next answers of openFile/saveFile (front first); empty list = cancel
    QList<bool> questionAnswers;  // next answers of question(); empty list = yes
    QList<Answer> choiceAnswers;  // next answers of askYesNoCancel(); empty list = no
    QList<Message> questions;     // every question asked (both kinds), in order
    QList<QColor> colorAnswers;   // empty list = cancel
    QList<QFont> fontAnswers;     // empty list = cancel
    QStringList askedFilters;     // filters of the file dialogs asked, in order
    QStringList proposedNames;    // names the save dialogs proposed, in order

    void message(const QString& text, const QString& title, MessageIcon icon) override;
    bool question(const QString& text, const QString& title) override;
    Answer askYesNoCancel(const QString& text, const QString& title) override;
    QString openFile(const QString& filter, const QString& startDir) override;
    QString saveFile(const QString& filter, const QString& proposedName) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;

    QStringList texts() const;    // message texts only
    void clear();
};

} // namespace ostrel
