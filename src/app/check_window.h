#pragma once
// "Проверка проекта": the problems the project check found, one row each
// (severity, code, place, message). A double-click on a row asks to show
// the problem's place. Opened before a write whose check found errors, it
// offers "Записать всё равно", which starts the write after all.
// A secondary window without a Qt parent.
#include "project/project_check.h"
#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace ostrel {

inline const QString kCheckWindowTitle = QStringLiteral("Проверка проекта");
inline const QString kWriteAnywayCaption = QStringLiteral("Записать всё равно");

class CheckWindow : public QWidget {
    Q_OBJECT
public:
    CheckWindow();

    // Shows `problems`; with `beforeWrite` the window explains that the write
    // waits and offers "Записать всё равно".
    void showProblems(const QList<Problem>& problems, bool beforeWrite);
    const QList<Problem>& problems() const { return problems_; }
    QTreeWidget& list() { return *list_; }
    QPushButton& writeAnywayButton() { return *writeAnyway_; }
    // Row `row` as a double-click on it does.
    void activate(int row);

signals:
    void placeRequested(const Place& place);
    void writeAnyway();

private:
    QList<Problem> problems_;
    QLabel* summary_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* writeAnyway_ = nullptr;
};

} // namespace ostrel
