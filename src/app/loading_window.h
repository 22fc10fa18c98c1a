#pragma once
// "Загрузка": a short progress window shown before the algorithm editor
// appears. A 10 ms timer fills the bar one step per tick; when it is full the
// window closes and reports finished().
#include <QTimer>
#include <QWidget>

class QProgressBar;

namespace ostrel {

class LoadingWindow : public QWidget {
    Q_OBJECT
public:
    explicit LoadingWindow(QWidget* parent = nullptr);

    // Shows the window with an empty bar and starts the timer. Starting it
    // again while it runs begins the bar anew.
    void start();
    // One timer step (the timer calls this; tests may call it directly).
    void tick();
    bool isRunning() const { return timer_.isActive(); }
    int progress() const;

signals:
    void finished();

private:
    QProgressBar* bar_;
    QTimer timer_;
};

} // namespace ostrel
