// Construction of the step editor's controls: built once, refilled later.
#include "algorithm/ui/step_editor.h"

#include "algorithm/ui/condition_frame_label.h"
#include "algorithm/operand_names.h"
#include "platform/ui/escape_key.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QScrollArea>
#include <QStringListModel>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace ostrel {

namespace {

// Geometry in pixels; the quoted positions of the window are twips / 15. The
// window with its frame fits a 1280-pixel screen; on a smaller one it scrolls.
constexpr int kWindowWidth = 1240;
constexpr int kWindowHeight = 420;
constexpr int kPanelLeft = 5;
constexpr int kPanelTop = 52;
constexpr int kOperandLeft = 152;      // 2280 twips
constexpr int kValueLeft = 247;        // 3700 twips
constexpr int kRowTop = 28;            // row box below the action line
constexpr int kCommentLeft = 730;
constexpr int kCommentWidth = kWindowWidth - 40 - kCommentLeft;
constexpr int kJumpStep = 19;          // 64 jump-source labels in one row
// The condition line: Source_B ends at 380, the setpoint value box at 465.
constexpr int kThenBesideOperand = 386;
constexpr int kThenBesideValue = 471;

const QColor kJumpSourceColour(255, 192, 192); // 12632319: light red

} // namespace

QComboBox* StepEditor::makeCombo(QWidget* parent, const char* name, QStringListModel* model,
                                 int x, int y, int w)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    if (model)
        c->setModel(model);
    c->setMaxVisibleItems(20);
    c->setGeometry(x, y, w, 22);
    c->setCurrentIndex(-1);
    return c;
}

QLineEdit* StepEditor::makeEdit(QWidget* parent, const char* name, int x, int y, int w)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(x, y, w, 22);
    return e;
}

void StepEditor::fitToScreen()
{
    // The whole window when the screen has room for it, else as much as fits
    // (less room for the frame); the rest scrolls.
    QScreen* s = screen();
    if (!s)
        return;
    const QRect avail = s->availableGeometry();
    const QMargins frame(8, 32, 8, 8);
    const int maxW = avail.width() - frame.left() - frame.right();
    const int maxH = avail.height() - frame.top() - frame.bottom();
    // A scroll bar in one direction takes room from the other.
    const int barH = scroll_->horizontalScrollBar()->sizeHint().height();
    const int barW = scroll_->verticalScrollBar()->sizeHint().width();
    int w = std::min(kWindowWidth, maxW);
    int h = std::min(kWindowHeight + (w < kWindowWidth ? barH : 0), maxH);
    if (h < kWindowHeight)
        w = std::min(w + barW, maxW);
    resize(w, h);
}

void StepEditor::buildUi()
{
    setObjectName(QStringLiteral("ALGORITM"));
    setWindowTitle(QStringLiteral("Блок АЛГОРИТМ"));
    // The controls sit on a page of the design size inside a scroll area.
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("StepEditorPage"));
    page->setFixedSize(kWindowWidth, kWindowHeight);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("StepEditorScroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidget(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);
    setMaximumSize(kWindowWidth + scroll_->verticalScrollBar()->sizeHint().width(),
                   kWindowHeight + scroll_->horizontalScrollBar()->sizeHint().height());
    resize(kWindowWidth, kWindowHeight);

    bOperandModel_ = new QStringListModel(alg::bOperandNames(), this);
    setpointModel_ = new QStringListModel(alg::setpointNames(), this);
    QStringList constants;
    for (int v = 0; v < 256; ++v)
        constants << QString::number(v);
    constModel_ = new QStringListModel(constants, this);
    auto* aModel = new QStringListModel(alg::aOperandNames(), this);
    auto* opModel = new QStringListModel(alg::comparisonOperatorNames(), this);
    auto* kindModel = new QStringListModel(alg::actionKindNames(), this);
    auto* nextModel = new QStringListModel(alg::nextStepNames(), this);
    auto* inputModel = new QStringListModel(alg::inputNames(), this);
    auto* mathModel = new QStringListModel(alg::mathOperatorNames(), this);

    // Jump-source strip: label 31 is the current step, sources to its sides.
    for (int i = 0; i < 64; ++i) {
        auto* l = new QLabel(page);
        l->setObjectName(QStringLiteral("Goto_Step(%1)").arg(i));
        l->setGeometry(kJumpStep * i + 5, 4, kJumpStep, 17);
        l->setAlignment(Qt::AlignCenter);
        QFont small = l->font();
        small.setPixelSize(10);
        l->setFont(small);
        if (i != 31) {
            l->setAutoFillBackground(true);
            QPalette p = l->palette();
            p.setColor(QPalette::Window, kJumpSourceColour);
            l->setPalette(p);
        } else {
            l->setFrameShape(QFrame::Box);
        }
        l->setVisible(i == 31);
        gotoStep_[i] = l;
    }

    tabs_ = new QTabBar(page);
    tabs_->setObjectName(QStringLiteral("Step_ALGORITM"));
    tabs_->setUsesScrollButtons(true);
    tabs_->setExpanding(false);
    tabs_->setDrawBase(true);
    tabs_->setElideMode(Qt::ElideNone);
    // Compact tabs so that all 32 fit in the window.
    tabs_->setStyleSheet(QStringLiteral(
        "QTabBar::tab { min-width: 30px; padding: 3px 2px; margin-right: 1px;"
        " border: 1px solid #a0a0a0; border-bottom: none; background: #e4e4e4; }"
        "QTabBar::tab:selected { background: white; font-weight: bold; }"));
    for (int t = 0; t < 32; ++t)
        tabs_->addTab(QString::number(t + 1));
    tabs_->setGeometry(kPanelLeft, 26, kWindowWidth - 10, 26);
    tabs_->installEventFilter(this);
    connect(tabs_, &QTabBar::currentChanged, this, [this] { onTabChanged(); });

    auto* panel = new QFrame(page);
    panel->setObjectName(QStringLiteral("StepPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(kPanelLeft, kPanelTop, kWindowWidth - 10, 330);

    // Comment slot 0: a full-width line above the condition.
    comment_[0] = makeEdit(panel, "Text_Coment(0)", 8, 6, kWindowWidth - 30);
    comment_[0]->setObjectName(QStringLiteral("Text_Coment(0)"));

    // The condition line: the frame text with the three lists over its gap.
    ifThen_ = new ConditionFrameLabel(panel);
    ifThen_->setObjectName(QStringLiteral("if_Then_L"));
    ifThen_->setGeometry(8, 32, 720, 22);
    ifThen_->setLastWordPlaces(kThenBesideOperand - 8, kThenBesideValue - 8);
    sourceA_ = makeCombo(panel, "Source_A", aModel, 40, 32, 130);
    ifAB_ = makeCombo(panel, "If_AB", opModel, 175, 32, 90);
    sourceB_ = makeCombo(panel, "Source_B", bOperandModel_, 270, 32, 110);
    setpointBox_[CondBox] = makeEdit(panel, "SP_1_128", 385, 32, 80);
    setpointBox_[CondBox]->hide();
    connect(sourceA_, &QComboBox::currentIndexChanged, this, &StepEditor::onSourceA);
    connect(ifAB_, &QComboBox::currentIndexChanged, this, &StepEditor::onIfAB);
    connect(sourceB_, &QComboBox::currentIndexChanged, this, &StepEditor::onSourceB);

    for (int b = 0; b < 2; ++b) {
        buildBranch(b, panel, b == Then ? 60 : 195);
        BranchControls& c = branch_[b];
        c.kind->setModel(kindModel);
        c.kind->setCurrentIndex(-1);
        c.next->setModel(nextModel);
        c.next->setCurrentIndex(-1);
        c.inpSelect->setModel(inputModel);
        c.inpSelect->setCurrentIndex(-1);
        c.math->setModel(mathModel);
        c.math->setCurrentIndex(-1);
    }
    for (int box = 0; box < 3; ++box)
        connect(setpointBox_[box], &QLineEdit::textEdited, this,
                [this, box](const QString& t) { onSetpointEdited(box, t); });
    for (int k = 0; k < 11; ++k)
        connect(comment_[k], &QLineEdit::textEdited, this,
                [this, k](const QString& t) { onCommentEdited(k, t); });

    // Paging, search, "Ок" and "Отмена".
    const int by = kWindowHeight - 32;
    auto* back = new QPushButton(QStringLiteral("<<"), page);
    back->setObjectName(QStringLiteral("Command2"));
    back->setGeometry(5, by, 40, 26);
    auto* forward = new QPushButton(QStringLiteral(">>"), page);
    forward->setObjectName(QStringLiteral("Command1"));
    forward->setGeometry(50, by, 40, 26);
    connect(back, &QPushButton::clicked, this, [this] { onPage(-1); });
    connect(forward, &QPushButton::clicked, this, [this] { onPage(1); });

    search_ = new QComboBox(page);
    search_->setObjectName(QStringLiteral("Serch"));
    search_->addItems({QStringLiteral("Input"), QStringLiteral("Output"), QStringLiteral("Flag"),
                       QStringLiteral("Timer"), QStringLiteral("SP"), QStringLiteral("SP(INP)"),
                       QStringLiteral("OUT_SP"), QStringLiteral("OUT_SP(INP)")});
    search_->setCurrentIndex(-1);
    search_->setGeometry(120, by + 2, 130, 22);
    searchN_ = new QLineEdit(QStringLiteral("1"), page);
    searchN_->setObjectName(QStringLiteral("Serch_N"));
    searchN_->setGeometry(255, by + 2, 50, 22);
    auto* go = new QPushButton(QStringLiteral("Найти ->"), page);
    go->setObjectName(QStringLiteral("Serch_GO"));
    go->setGeometry(310, by, 90, 26);
    connect(search_, &QComboBox::activated, this, [this] { onSearchReset(); });
    connect(searchN_, &QLineEdit::textEdited, this, [this] { onSearchReset(); });
    connect(go, &QPushButton::clicked, this, &StepEditor::onSearch);

    auto* ok = new QPushButton(QStringLiteral("Ок"), page);
    ok->setObjectName(QStringLiteral("Ok_ALGORITM"));
    ok->setGeometry(kWindowWidth - 200, by, 90, 26);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), page);
    cancel->setObjectName(QStringLiteral("Cancel_ALGORITM"));
    cancel->setGeometry(kWindowWidth - 100, by, 90, 26);
    connect(ok, &QPushButton::clicked, this, &StepEditor::onOk);
    connect(cancel, &QPushButton::clicked, this, &StepEditor::onCancel);
    cancelOnEscape(this, cancel);

    stepMenu_ = new QMenu(this);
    stepMenu_->setObjectName(QStringLiteral("mnuSTEP"));
    insertAction_ = stepMenu_->addAction(QStringLiteral("&Вставить шаг"));
    insertAction_->setObjectName(QStringLiteral("mnuInsertStep"));
    deleteAction_ = stepMenu_->addAction(QStringLiteral("&Удалить шаг"));
    deleteAction_->setObjectName(QStringLiteral("mnuDeleleStep"));
    connect(insertAction_, &QAction::triggered, this, &StepEditor::onInsertStep);
    connect(deleteAction_, &QAction::triggered, this, &StepEditor::onDeleteStep);
}

void StepEditor::buildBranch(int b, QWidget* parent, int top)
{
    const bool then = b == Then;
    auto name = [then](const char* thenName, const char* elseName) {
        return then ? thenName : elseName;
    };
    BranchControls& c = branch_[b];
    c.panel = new QWidget(parent);
    c.panel->setObjectName(QLatin1String(then ? "ThenPart" : "ElsePart"));
    c.panel->setGeometry(8, top, kWindowWidth - 30, 130);
    QWidget* p = c.panel;

    c.kind = makeCombo(p, name("Out_SET_Num", "Out_SET_Num_1"), nullptr, 0, 0, 145);
    c.number = makeEdit(p, name("Out_Num", "Out_Num_1"), kOperandLeft, 0, 60);
    c.spSelect = makeCombo(p, name("OUT_SP1_128", "OUT_SP1_128_1"), setpointModel_, kOperandLeft, 0, 90);
    c.spValue = makeEdit(p, name("OUT_SP_N", "OUT_SP_N_1"), kValueLeft, 0, 80);
    c.inpSelect = makeCombo(p, name("OUT_SP_INP1_32", "OUT_SP_INP1_32_1"), nullptr, kOperandLeft, 0, 90);
    c.math = makeCombo(p, name("SP_MATH", "SP_MATH_1"), nullptr, kOperandLeft, 0, 50);
    c.mathB = makeCombo(p, name("MATH_B", "MATH_B_1"), bOperandModel_, kOperandLeft + 53, 0, 85);
    setpointBox_[then ? ThenBox : ElseBox] = c.spValue;
    for (QWidget* w : {static_cast<QWidget*>(c.spSelect), static_cast<QWidget*>(c.spValue),
                       static_cast<QWidget*>(c.inpSelect), static_cast<QWidget*>(c.math),
                       static_cast<QWidget*>(c.mathB)})
        w->hide();

    c.gotoLabel = new QLabel(QStringLiteral(" goto step"), p);
    c.gotoLabel->setObjectName(QLatin1String(name("goto_step_L", "goto_step1_L")));
    c.gotoLabel->setGeometry(380, 0, 70, 22);
    c.next = makeCombo(p, name("Go_Step_then", "Go_step_else"), nullptr, 455, 0, 70);

    // The row box: outputs at top 20, flags at top 40, label k at left 20k + 72.
    c.rowBox = new QWidget(p);
    c.rowBox->setObjectName(QLatin1String(name("Output_OFF_ON", "Output_OFF_ON_1")));
    c.rowBox->setGeometry(0, kRowTop, 720, 62);
    for (int k = 0; k < 32; ++k) {
        auto* head = new QLabel(QString::number(k + 1), c.rowBox);
        head->setGeometry(20 * k + 72, 2, 19, 16);
        head->setAlignment(Qt::AlignCenter);
        head->setEnabled(false);
    }
    auto* outCaption = new QLabel(QStringLiteral("Output"), c.rowBox);
    outCaption->setGeometry(0, 20, 70, 17);
    auto* flagCaption = new QLabel(QStringLiteral("      Flag     "), c.rowBox);
    flagCaption->setGeometry(0, 40, 70, 17);
    const int outRow = then ? ThenOutputs : ElseOutputs;
    const int flagRow = then ? ThenFlags : ElseFlags;
    for (int k = 0; k < 32; ++k) {
        for (int row : {outRow, flagRow}) {
            const bool outputs = row == outRow;
            auto* l = new QLabel(c.rowBox);
            l->setObjectName(QStringLiteral("%1(%2)")
                                 .arg(QLatin1String(outputs ? name("Out1_32", "Out1_32_1")
                                                            : name("Flag1_32", "Flag1_32_1")))
                                 .arg(k));
            l->setGeometry(20 * k + 72, outputs ? 20 : 40, 19, 17);
            l->setAlignment(Qt::AlignCenter);
            l->setFrameShape(QFrame::Box);
            l->setProperty("row", row);
            l->setProperty("k", k);
            l->installEventFilter(this);
            rowLabels_[row][k] = l;
        }
    }

    // Comment slots 1..5 beside the then-part, 6..10 beside the else-part.
    for (int j = 0; j < 5; ++j) {
        const int slot = (then ? 1 : 6) + j;
        comment_[slot] = makeEdit(p, "", kCommentLeft, 24 * j, kCommentWidth);
        comment_[slot]->setObjectName(QStringLiteral("Text_Coment(%1)").arg(slot));
    }

    connect(c.kind, &QComboBox::currentIndexChanged, this, [this, b](int i) { onKind(b, i); });
    connect(c.number, &QLineEdit::textEdited, this, [this, b](const QString& t) { onNumberEdited(b, t); });
    connect(c.spSelect, &QComboBox::currentIndexChanged, this, [this, b](int i) { onSpSelect(b, i); });
    connect(c.inpSelect, &QComboBox::currentIndexChanged, this, [this, b](int i) { onInpSelect(b, i); });
    connect(c.mathB, &QComboBox::currentIndexChanged, this, [this, b](int i) { onMathB(b, i); });
    connect(c.math, &QComboBox::currentIndexChanged, this, [this, b](int i) { onMath(b, i); });
    connect(c.next, &QComboBox::currentIndexChanged, this, [this, b](int i) { onNext(b, i); });
}

} // namespace ostrel
