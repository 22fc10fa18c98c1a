#pragma once
// "Запись установки": the controllers of a plant file being written, one row
// each (name, what, a progress bar, the part being sent, the time left by the
// protocol's intervals, the result, the time, the SHA-256 of what was sent),
// updated live. "Отмена" starts no further controller or page and lets the
// pages being sent run to their end. A secondary window without a Qt parent.
#include <QTimer>
#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;
class QTableWidget;

namespace ostrel {

class PlantWrite;

inline const QString kPlantWindowTitle = QStringLiteral("Запись установки");

class PlantWindow : public QWidget {
    Q_OBJECT
public:
    PlantWindow();
    ~PlantWindow() override;

    // Shows the rows of `plant` and follows it until it ends. The window
    // keeps the write: an earlier one (ended) goes.
    void follow(std::unique_ptr<PlantWrite> plant);
    PlantWrite* plant() const { return plant_.get(); }
    bool writing() const;

    QTableWidget& table() { return *table_; }
    QPushButton& cancelButton() { return *cancel_; }
    QLabel& summary() { return *summary_; }

    enum Column { Name, What, Progress, Part, Left, Result, Time, Hash, Columns };

private:
    void update(int row);
    void updateAll();
    void ended();

    std::unique_ptr<PlantWrite> plant_;
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTimer clock_;
};

} // namespace ostrel
