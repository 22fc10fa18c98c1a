#pragma once
// The write-progress window: caption set by the caller, a progress bar, the
// page and packet labels and the "Отмена" button.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ostrel {

class WriteProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit WriteProgressWindow(QWidget* parent = nullptr);

    void setProgress(int value, int maximum);
    void setPageLabels(int sheet, int packet);
    void clearLabels();

signals:
    // "Отмена" or the window's close box.
    void cancelRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape

private:
    QProgressBar* bar_;
    QLabel* sheet_;
    QLabel* packet_;
    QPushButton* cancel_;
};

} // namespace ostrel
