#pragma once
// The write-progress window: caption set by the caller, a progress bar, the
// page and packet labels, a state line (connecting, retrying, finished) and the "Отмена"
// button.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ostrel {

class WriteProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit WriteProgressWindow(QWidget* parent = nullptr);

    // A write starts: empty labels, no state, "Отмена".
    void reset();
    void setProgress(int value, int maximum);
    void setPageLabels(int sheet, int packet);
    // A scheme write has no page: "-" and the number of packets sent.
    void setSchemePacket(int packet);
    void clearLabels();
    // attempt > 0: the link failed and the packet is being sent again; 0: it
    // got through again.
    void setRetrying(int attempt);
    // The write waits for its TCP connection to `address` ("host:port");
    // empty: it no longer does.
    void setConnecting(const QString& address);
    // The write is over: full bar, "Запись завершена", the button closes.
    void setFinished();

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
    QLabel* state_;
    QPushButton* cancel_;
    bool connecting_ = false; // the state line shows the connection wait
};

} // namespace ostrel
