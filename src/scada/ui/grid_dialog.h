#pragma once
// Coord_Setka, "Координатная сетка": the grid step ("Размер") and the button
// grid ("Управление") of the page editor. "Ok" stores both into both copies
// of the grid settings and closes; a step outside 1..480 is refused with a
// message and the dialog stays open. "Отмена" and the close box only close.
// A top-level window without a Qt parent: the main window disables itself
// while the dialog is open.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace ostrel {

struct ScadaPages;
class Interaction;

class GridDialog : public QDialog {
    Q_OBJECT
public:
    GridDialog(ScadaPages& pages, Interaction& ui, QWidget* parent = nullptr);

    // Fills the fields from the current grid settings.
    void load();

    QLineEdit& stepField() { return *step_; }
    QCheckBox& buttonGridBox() { return *buttonGrid_; }
    QPushButton& okButton() { return *ok_; }
    QPushButton& cancelButton() { return *cancel_; }

private:
    void confirm();

    ScadaPages& pages_;
    Interaction& ui_;
    QLineEdit* step_;
    QCheckBox* buttonGrid_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace ostrel
