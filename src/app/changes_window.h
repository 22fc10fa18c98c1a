#pragma once
// "Что изменится": the project compared with the last write of each part
// (scheme, pages 1..8) that the journal records, one summary line a part
// followed by its changes. A secondary window without a Qt parent.
#include "project/project_journal.h"
#include <QWidget>

class QPlainTextEdit;

namespace ostrel {

inline const QString kChangesWindowTitle = QStringLiteral("Что изменится");

class ChangesWindow : public QWidget {
    Q_OBJECT
public:
    ChangesWindow();
    // `journalNote`: a line above the parts (the journal's warnings, or why
    // there is none).
    void showParts(const QList<PartState>& parts, const QString& journalNote);
    QString text() const;

private:
    QPlainTextEdit* text_ = nullptr;
};

} // namespace ostrel
