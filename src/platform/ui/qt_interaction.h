#pragma once
// The desktop implementation of the interaction seam: Qt message boxes and
// common dialogs, parented to the given window.
#include "platform/interaction.h"
#include <QPointer>
#include <QWidget>

namespace ostrel {

class QtInteraction : public Interaction {
public:
    explicit QtInteraction(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const QString& text, const QString& title, MessageIcon icon) override;
    bool question(const QString& text, const QString& title) override;
    Answer askYesNoCancel(const QString& text, const QString& title) override;
    QString openFile(const QString& filter, const QString& startDir) override;
    QString saveFile(const QString& filter, const QString& proposedName) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;

private:
    QWidget* owner() const;

    QPointer<QWidget> parent_;
};

} // namespace ostrel
