#include "app/changes_window.h"
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostrel {

ChangesWindow::ChangesWindow()
{
    setObjectName(QStringLiteral("WhatChanges"));
    setWindowTitle(kChangesWindowTitle);
    auto* layout = new QVBoxLayout(this);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("ChangesText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(text_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("CloseChanges"));
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(800, 500);
}

void ChangesWindow::showParts(const QList<PartState>& parts, const QString& journalNote)
{
    QStringList lines;
    if (!journalNote.isEmpty())
        lines << journalNote;
    for (const PartState& st : parts) {
        lines << st.russianSummary();
        for (const Change& c : st.changes)
            lines << QStringLiteral("    ") + c.line();
    }
    text_->setPlainText(lines.join(QLatin1Char('\n')));
}

QString ChangesWindow::text() const
{
    return text_->toPlainText();
}

} // namespace ostrel
