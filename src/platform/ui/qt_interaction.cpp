#include "platform/ui/qt_interaction.h"
#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

namespace ostrel {

namespace {
QString boxTitle(const QString& title)
{
    return title.isEmpty() ? QApplication::applicationDisplayName() : title;
}
} // namespace

QWidget* QtInteraction::owner() const
{
    // A box belongs to the window that raised it: an open dialog, not the
    // main window behind it.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    return parent_;
}

void QtInteraction::message(const QString& text, const QString& title, MessageIcon icon)
{
    QMessageBox box(owner());
    box.setWindowTitle(boxTitle(title));
    box.setText(text);
    switch (icon) {
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool QtInteraction::question(const QString& text, const QString& title)
{
    return QMessageBox::question(owner(), boxTitle(title), text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

Answer QtInteraction::askYesNoCancel(const QString& text, const QString& title)
{
    QMessageBox box(owner());
    box.setWindowTitle(boxTitle(title));
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    // The captions are set here, so that they read the same with or without
    // Qt's translations.
    QPushButton* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Yes;
    if (box.clickedButton() == no)
        return Answer::No;
    return Answer::Cancel;
}

QString QtInteraction::openFile(const QString& filter, const QString& startDir)
{
    return QFileDialog::getOpenFileName(owner(), QString(), startDir.isEmpty() ? QDir::currentPath() : startDir,
                                        qtFilter(filter));
}

QString QtInteraction::saveFile(const QString& filter, const QString& proposedName)
{
    return QFileDialog::getSaveFileName(owner(), QString(), QDir::current().filePath(proposedName),
                                        qtFilter(filter));
}

std::optional<QColor> QtInteraction::chooseColor(const QColor& initial)
{
    const QColor c = QColorDialog::getColor(initial, owner());
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QFont> QtInteraction::chooseFont(const QFont& initial)
{
    QFontDialog dialog(owner());
    dialog.setCurrentFont(initial);
    // What the chooser shows for the element's font: another face when that
    // one is not installed, and then a style of its own.
    const QFont shown = dialog.currentFont();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return keepUntouchedFont(initial, shown, dialog.selectedFont());
}

} // namespace ostrel
