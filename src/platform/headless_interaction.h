#pragma once
// The interaction seam without a user, for the command-line tool and other
// headless use: nothing is answered (a question gets "no", every chooser is
// cancelled) and the messages are collected in the order they are shown. A
// callback, when given, receives each message as it comes (the command-line
// tool prints them).
#include "platform/interaction.h"
#include <QList>
#include <QStringList>
#include <functional>

namespace ostrel {

class HeadlessInteraction : public Interaction {
public:
    using MessageSink = std::function<void(const Message&)>;

    explicit HeadlessInteraction(MessageSink sink = {}) : sink_(std::move(sink)) {}

    void message(const QString& text, const QString& title, MessageIcon icon) override;
    bool question(const QString& text, const QString& title) override;
    Answer askYesNoCancel(const QString& text, const QString& title) override;
    QString openFile(const QString& filter, const QString& startDir) override;
    QString saveFile(const QString& filter, const QString& proposedName) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;

    const QList<Message>& messages() const { return messages_; }
    QStringList texts() const; // message texts only, in order

private:
    MessageSink sink_;
    QList<Message> messages_;
};

} // namespace ostrel
