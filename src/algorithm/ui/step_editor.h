#pragma once
// The algorithm step editor window "Блок АЛГОРИТМ": shows the 128-step program
// of one algorithm block 32 steps (one page) at a time, one step per tab, and
// writes every field into the block's TextStore entries the moment a control
// changes. Only the step comments wait for "Ок".
//
// One set of step controls is built once and refilled from the model whenever
// the tab, the page or the step changes; the comments of the page are kept in
// a working copy until "Ок" stores them.
#include <QWidget>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QScrollArea;
class QStringListModel;
class QTabBar;

namespace ostrel {

struct BlockTable;
struct AlgorithmData;
class Interaction;
class ConditionFrameLabel;

class StepEditor : public QWidget {
    Q_OBJECT
public:
    StepEditor(BlockTable& blocks, AlgorithmData& alg, Interaction& ui, QWidget* parent = nullptr);

    // Loads algorithm block `block` (it becomes the block table's cur_block) on
    // the page last shown and shows the window. A block that is not an
    // algorithm block with room for its program is refused with a message and
    // closed() is emitted at once.
    void openFor(int block);

    // The next openFor shows step `step` (0..127): its page and its tab.
    void startAt(int step);

    int page() const { return algPage_; }
    // Absolute step (0..127) of the current tab.
    int currentStep() const;

signals:
    // Every way of closing: "Ок", "Отмена" and the window's close box.
    void closed();
    // One edit of a field was confirmed (a list choice, a text box left, a
    // flag clicked, a step inserted or deleted): one undo step.
    void edited();
    // After a step was inserted or deleted the window hides itself and asks
    // for the loading window; whoever shows it calls openFor(block) when it is
    // done. Without a receiver the window refills itself at once.
    void reloadRequested(int block);
    // The window was minimised; the main window follows it. (A parent window,
    // if there is one, is minimised directly.)
    void minimized();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Branch { Then = 0, Else = 1 };
    enum Row { ThenOutputs = 0, ElseOutputs = 1, ThenFlags = 2, ElseFlags = 3 };
    enum SetpointBox { CondBox = 0, ThenBox = 1, ElseBox = 2 };

    struct BranchControls {
        QWidget* panel = nullptr;
        QComboBox* kind = nullptr;       // Out_SET_Num
        QLineEdit* number = nullptr;     // Out_Num
        QComboBox* spSelect = nullptr;   // OUT_SP1_128
        QLineEdit* spValue = nullptr;    // OUT_SP_N
        QComboBox* inpSelect = nullptr;  // OUT_SP_INP1_32
        QComboBox* mathB = nullptr;      // MATH_B
        QComboBox* math = nullptr;       // SP_MATH
        QComboBox* next = nullptr;       // Go_Step_then / Go_step_else
        QLabel* gotoLabel = nullptr;     // goto_step_L / goto_step1_L
        QWidget* rowBox = nullptr;       // Output_OFF_ON
    };

    // Construction (step_editor_layout.cpp).
    void buildUi();
    void buildBranch(int b, QWidget* parent, int top);
    QComboBox* makeCombo(QWidget* parent, const char* name, QStringListModel* model,
                         int x, int y, int w);
    QLineEdit* makeEdit(QWidget* parent, const char* name, int x, int y, int w);
    void fitToScreen();

    // Filling and showing (step_editor.cpp).
    void fill(int tab);
    bool stepShowable(int s) const;
    void showStep();
    void showCondition();
    void showBranch(int b);
    void applyKindLayout(int b);
    void showRow(int row);
    void showJumpSources();
    void showSetpointBox(int box, int k, int x = -1);

    int field(int f) const;
    void setField(int f, int value);

    // Control effects.
    void onTabChanged();
    void onSourceA(int index);
    void onIfAB(int index);
    void onSourceB(int index);
    void onKind(int b, int index);
    void onNumberEdited(int b, const QString& text);
    void onSpSelect(int b, int index);
    void onInpSelect(int b, int index);
    void onMathB(int b, int index);
    void onMath(int b, int index);
    void onNext(int b, int index);
    void onLabelClicked(int row, int k);
    void onSetpointEdited(int box, const QString& text);
    void onCommentEdited(int slot, const QString& text);
    void onPage(int delta);
    void onSearch();
    void onSearchReset();
    void onInsertStep();
    void onDeleteStep();
    void onOk();
    void onCancel();
    void reloadAfterEdit();
    void finish();

    BlockTable& blocks_;
    AlgorithmData& alg_;
    Interaction& ui_;

    // Editor state that outlives one opening.
    int algPage_ = 0;
    int searchPos_ = 0;
    bool searchFound_ = false;

    int block_ = -1;
    bool loading_ = false;   // set while controls are filled; change handlers return at once
    bool open_ = false;
    int reopenTab_ = 0;
    std::array<QString, 352> comments_{};   // the page's comment boxes until "Ок"
    std::array<int, 3> shownSetpoint_{};    // setpoint (1..128) each value box shows, 0 = none
    std::array<QString, 3> setpointText_{}; // last accepted text of each value box

    // Lists shared by several controls.
    QStringListModel* bOperandModel_ = nullptr;
    QStringListModel* constModel_ = nullptr;
    QStringListModel* setpointModel_ = nullptr;

    QScrollArea* scroll_ = nullptr;
    QTabBar* tabs_ = nullptr;
    ConditionFrameLabel* ifThen_ = nullptr;
    QComboBox* sourceA_ = nullptr;
    QComboBox* ifAB_ = nullptr;
    QComboBox* sourceB_ = nullptr;
    std::array<QLineEdit*, 3> setpointBox_{};
    std::array<BranchControls, 2> branch_{};
    std::array<std::array<QLabel*, 32>, 4> rowLabels_{};
    std::array<QLineEdit*, 11> comment_{};
    std::array<QLabel*, 64> gotoStep_{};
    QComboBox* search_ = nullptr;
    QLineEdit* searchN_ = nullptr;
    QMenu* stepMenu_ = nullptr;
    QAction* insertAction_ = nullptr;
    QAction* deleteAction_ = nullptr;
};

} // namespace ostrel
