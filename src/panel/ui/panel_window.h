#pragma once
// The panel window: the controller's display (PanelView) with a page
// switcher for the pages received so far, the touch-cell and fit-to-window
// switches, a line on the last scheme write, and the packet log.
#include <QMainWindow>
#include <array>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QTableView;

namespace ostrel {

class BlockValues;
class PacketLogModel;
class PanelSession;
class PanelView;

class PanelWindow : public QMainWindow {
    Q_OBJECT
public:
    // `source`: what the panel receives from, for the status line
    // ("TCP порт 5020", "serial /dev/pts/3", a file name).
    PanelWindow(PanelSession& session, const BlockValues& values, const QString& source, QWidget* parent = nullptr);
    ~PanelWindow() override;

    PanelView* view() const { return view_; }
    int shownPage() const { return shownPage_; } // -1 before the first page
    void showPage(int index);

private:
    void pageReceived(int index);
    void schemeReceived();
    void updateStatus();
    void setFit(bool fit);

    PanelSession& session_;
    QString source_;
    PanelView* view_;
    QScrollArea* scroll_;
    QCheckBox* touchCells_;
    QCheckBox* fit_;
    QButtonGroup* pages_;
    std::array<QPushButton*, 8> pageButtons_{};
    QLabel* scheme_;
    QLabel* status_;
    QTableView* log_;
    PacketLogModel* model_;
    int shownPage_ = -1;
};

} // namespace ostrel
