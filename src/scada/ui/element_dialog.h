#pragma once
// The base of the element property dialogs: one window per kind, created
// once and reused, that opens on an element (or the kind's template), keeps
// the owner window disabled while it is open and, on every way out ("Ok",
// "Удалить", "Отмена", Esc, the close box), hides the kind's template,
// enables the owner again and reports what it changed.
//
// It also holds the pieces the dialogs share: the number and position
// fields, colour boxes that open the colour chooser of the interaction seam,
// the pipette button, the block field with its output (setpoint, channel)
// list, and the row of "Ok", "Удалить", "Отмена".
#include "scada/bound_elements.h"
#include "scada/ui/element_dialogs.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <functional>
#include <optional>

class QCheckBox;
class QHBoxLayout;
class QTimer;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace ostrel {

// A box showing a record colour (0x00BBGGRR); a click emits clicked().
class ColorBox : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColorBox(QWidget* parent = nullptr);
    int32_t value() const { return value_; }
    void setValue(int32_t value);
    QSize sizeHint() const override { return {56, 22}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int32_t value_ = 0;
};

// A label that reports clicks and double-clicks (palette pictures, slots).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

class ElementDialog : public QDialog {
    Q_OBJECT
public:
    // Object names of the three buttons every dialog of the family has.
    static inline const QString kOkName = QStringLiteral("Ok_Element");
    static inline const QString kDeleteName = QStringLiteral("Delete_Element");
    static inline const QString kCancelName = QStringLiteral("Cancel_Element");

    ElementDialog(ElementDialogContext& ctx, ObjectKind kind, QWidget* owner, const QString& name,
                  const QString& caption);
    ~ElementDialog() override;

    // Disables the owner, fills the fields from the element's record (a
    // template reads slot 0 of its page) and shows the dialog.
    void openFor(const ElementRef& ref);
    bool isOpen() const { return open_; }
    ObjectKind kind() const { return kind_; }
    const ElementRef& element() const { return ref_; }

    // Windows this dialog opens itself (the mechanism animation window).
    virtual QList<QWidget*> extraWindows() const { return {}; }

    // "Отмена": also Esc and the close box.
    void reject() override;

signals:
    void pageChanged(const PageChanges& changes);

protected:
    // Fields from the record of element(). Returns false when the stored
    // list position is not in the rebuilt list ("Ошибка номера выхода!!!"
    // is shown once the dialog is up).
    virtual bool load() = 0;
    // "Ok": what changed, or nothing when the input was refused and the
    // dialog stays open.
    virtual std::optional<PageChanges> okPressed() = 0;
    // "Удалить": the default deletes the element of the number field as the
    // value-bound kinds do; the other kinds' dialogs bring their own.
    virtual PageChanges deletePressed();
    // Called on every way out before the dialog hides (timers stop here).
    virtual void closing() {}
    // The entries of the binding list for the block field's text; the
    // default offers the bound block's outputs.
    virtual QStringList listEntries() const;
    // The error shown (error icon) once the dialog is up when load() found
    // no list entry for the stored position.
    virtual QString listError() const { return kOutputPositionError; }

    // ---- building ----
    // A label "caption" and a widget in `grid` at (row, column pair col).
    void addField(QGridLayout* grid, int row, int col, const QString& caption, QWidget* field);
    QLineEdit* lineEdit(const QString& name, int width = 64);
    QCheckBox* checkBox(const QString& name, const QString& caption);
    QComboBox* comboBox(const QString& name, const QStringList& items);
    // A colour box whose click opens the colour chooser at its colour;
    // `changed` runs after a colour was chosen.
    ColorBox* colorBox(const QString& name, std::function<void()> changed);
    // The pipette button: its click puts PipetteColor into `target`, then
    // runs `changed`. Painted in PipetteColor on every opening.
    ColorBox* pipetteButton(ColorBox* target, std::function<void()> changed);
    // The number and position fields.
    void makeNumberFields(const QString& numberName, const QString& xName, const QString& yName);
    // The block field and its list; the list is rebuilt whenever the block
    // field changes.
    void makeBinding(const QString& blockName, const QString& listName, const QString& labelName);
    void addBinding(QGridLayout* grid, int row);
    QLayout* buttonRow();
    // The dialog's fields above its row of buttons, at their natural size.
    static void finishLayout(QDialog* dialog, QGridLayout* grid, QLayout* buttons);
    // Places a window this dialog opens (a palette, an animation) over the
    // dialog's middle, inside the screen, the way dialogs open.
    static void placeOver(QWidget* window, const QWidget* over);
    // A colour box with its pipette beside it.
    static QHBoxLayout* colorRow(ColorBox* box, QWidget* pipette);
    // What an Ok outcome hands back: nothing when the input was refused.
    static std::optional<PageChanges> closingChanges(const OkOutcome& r);

    // ---- the binding list ----
    void rebuildList();
    // Selects a list position; false when the list has no such entry (the
    // list then stays as built, at its first entry).
    bool selectListPosition(int position);
    int listPosition() const;

    // Field values every form has. Showing a form rebuilds the list and
    // selects the form's list position: false when there is no such entry.
    void fillBoundForm(BoundForm& form) const;
    bool showBoundForm(const BoundForm& form);

    ElementDialogContext& ctx_;
    QLineEdit* number_ = nullptr;
    QLineEdit* x_ = nullptr;
    QLineEdit* y_ = nullptr;
    QLineEdit* block_ = nullptr;
    QComboBox* list_ = nullptr;
    QLabel* listLabel_ = nullptr;
    ColorBox* pipette_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* cancel_ = nullptr;

private:
    void finish(PageChanges changes);

    ObjectKind kind_;
    QPointer<QWidget> owner_;
    ElementRef ref_;
    bool open_ = false;
};

// The blink of a dialog's preview: while the "Мигание" box is ticked and the
// dialog is open, a 500 ms timer flips the phase and redraws the preview.
class PreviewBlink : public QObject {
    Q_OBJECT
public:
    PreviewBlink(ElementDialog* dialog, QCheckBox* box, const QString& timerName, std::function<void()> redraw);
    // The phase the preview shows: true is the second look (off colour, on text).
    bool phase() const { return phase_; }
    QTimer* timer() const { return timer_; }
    // Opening: the first look, the box as the element has it.
    void start(bool ticked);
    // Back to the first look without touching the box.
    void resetPhase();
    void stop();
    // One step of the blink (the timer calls it).
    void tick();

private:
    void toggled();

    ElementDialog* dialog_;
    QCheckBox* box_;
    QTimer* timer_;
    std::function<void()> redraw_;
    bool phase_ = false;
};

} // namespace ostrel
