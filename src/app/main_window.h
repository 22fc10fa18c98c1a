#pragma once
#include <QMainWindow>

namespace ostrel {

struct Workspace;
class Interaction;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Workspace& ws, Interaction& ui, QWidget* parent = nullptr);

private:
    Workspace& ws_;
    Interaction& ui_;
};

} // namespace ostrel
