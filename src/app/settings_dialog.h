#pragma once
// "Проект": names the project, imports the scheme's netlist and sets how the
// controller is reached. The same window serves a new project and the settings
// of the open one; the two differ only in what "Ok" resets.
//
// The window is a top-level window without a Qt parent: the main window
// disables itself while it is open, and a Qt child window would be disabled
// with it.
#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ostrel {

struct Workspace;
struct ShellState;
class Interaction;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(Workspace& ws, ShellState& shell, Interaction& ui, QWidget* parent = nullptr);

    // For "&Создать проект": "Ok" disabled until a netlist is chosen, lists
    // without a selection, settings_reopened := 0.
    void openForNewProject();
    // For "&Настройки": the controls show the current settings, settings_reopened := 1.
    void openForSettings();

    // How "СOMn" is turned into a device and whether one is there; the link's
    // own mapping by default (tests replace it).
    void setSerialDeviceLookup(std::function<QString(int)> name, std::function<bool(const QString&)> present);

public slots:
    // Disabled while a write into the controller runs, so that the link
    // settings cannot change under it.
    void setTransferActive(bool active);
    void reject() override;   // "Отмена", Escape and the close box

signals:
    // "Ok" was pressed: the main window shows the project. newProject tells
    // whether the dialog had been opened for a new project.
    void confirmed(bool newProject);
    // "Загрузить" imported a netlist into the block table.
    void netlistImported();

private:
    void fillCommon();
    void portSelected(int index);
    void controllerSelected(int index);
    void loadNetlist();
    void confirm();
    void updateOk();
    void applyPortRule();
    void showDevice();

    Workspace& ws_;
    ShellState& shell_;
    Interaction& ui_;
    QLineEdit* name_;
    QComboBox* portList_;
    QComboBox* controllerList_;
    QLineEdit* schema_;
    QPushButton* load_;
    QLineEdit* ip_;
    QLineEdit* tcpPort_;
    QLabel* ipLabel_;
    QLabel* tcpPortLabel_;
    QLabel* device_;
    std::function<QString(int)> deviceName_;
    std::function<bool(const QString&)> devicePresent_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// The leading decimal number of a typed text (blanks and a sign allowed in
// front), 0 when there is none or it does not fit 32 bits.
int32_t leadingNumber(const QString& text);

} // namespace ostrel
