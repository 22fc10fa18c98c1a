#include "platform/ui/qt_interaction.h"
#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

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
