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

void QtInteraction::message(const QString& text, const QString& title, MessageIcon icon)
{
    QMessageBox box(parent_);
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
    return QMessageBox::question(parent_, boxTitle(title), text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

Answer QtInteraction::askYesNoCancel(const QString& text, const QString& title)
{
    QMessageBox box(parent_);
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
    return QFileDialog::getOpenFileName(parent_, QString(), startDir.isEmpty() ? QDir::currentPath() : startDir,
                                        qtFilter(filter));
}

QString QtInteraction::saveFile(const QString& filter, const QString& proposedName)
{
    return QFileDialog::getSaveFileName(parent_, QString(), QDir::current().filePath(proposedName),
                                        qtFilter(filter));
}

std::optional<QColor> QtInteraction::chooseColor(const QColor& initial)
{
    const QColor c = QColorDialog::getColor(initial, parent_);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QFont> QtInteraction::chooseFont(const QFont& initial)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, parent_);
    if (!ok)
        return std::nullopt;
    return f;
}

} // namespace ostrel
