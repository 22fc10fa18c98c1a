#include "algorithm/ui/step_editor.h"

#include "platform/ui/project_text_guard.h"
#include "algorithm/algorithm_data.h"
#include "algorithm/ui/condition_frame_label.h"
#include "algorithm/operand_names.h"
#include "algorithm/step_editor_logic.h"
#include "algorithm/step_program.h"
#include "platform/interaction.h"
#include "scheme/block_table.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QStringListModel>
#include <QTabBar>

#include <algorithm>
#include <cmath>

namespace ostrel {

namespace {

const QString kShortCondition = QStringLiteral(
    "   if                                                  then");
const QString kLongCondition = QStringLiteral(
    "   if                                                            then");
const QString kFillError = QStringLiteral("Ошибка параметра в блоке <АЛГОРИТМ>");
const QString kByteRangeError = QStringLiteral("Ошибка ввода!!! Диапазон чисел 0 - 255!");
const QString kKeyError = QStringLiteral("Ошибка ввода!!!");
const QString kSearchEnd = QStringLiteral("Конец поиска");

constexpr int kMathValueLeft = 293;   // 4400 twips
constexpr int kSpValueLeft = 247;     // 3700 twips

// Sets `flag` for the lifetime of the guard and restores what it was.
class LoadingGuard {
public:
    explicit LoadingGuard(bool& flag) : flag_(flag), saved_(flag) { flag_ = true; }
    ~LoadingGuard() { flag_ = saved_; }
    LoadingGuard(const LoadingGuard&) = delete;
    LoadingGuard& operator=(const LoadingGuard&) = delete;

private:
    bool& flag_;
    bool saved_;
};

bool inRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

void setComboIndex(QComboBox* c, int index)
{
    c->setCurrentIndex(inRange(index, 0, c->count() - 1) ? index : -1);
}

void setComboModel(QComboBox* c, QStringListModel* m)
{
    if (c->model() != m)
        c->setModel(m);
}

// Field numbers of a branch.
int kindField(int b) { return b == 0 ? alg::then_kind : alg::else_kind; }
int operandField(int b) { return b == 0 ? alg::then_operand : alg::else_operand; }
int nextField(int b) { return b == 0 ? alg::then_next : alg::else_next; }
int mathShift(int b) { return b == 0 ? 4 : 6; }
int rowBase(int row)
{
    static constexpr int bases[4] = {alg::then_outputs, alg::else_outputs, alg::then_flags,
                                     alg::else_flags};
    return bases[row];
}

} // namespace

StepEditor::StepEditor(BlockTable& blocks, AlgorithmData& alg, Interaction& ui, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , blocks_(blocks)
    , alg_(alg)
    , ui_(ui)
{
    LoadingGuard guard(loading_);
    buildUi();
    fitToScreen();
    guardProjectTexts(this, ui_);
    // A field edit is confirmed by a choice in its list, by leaving its text
    // box (or Enter) and by a click on a flag: each ends one edit.
    for (QComboBox* c : findChildren<QComboBox*>())
        if (c != search_)
            connect(c, &QComboBox::activated, this, &StepEditor::edited);
    for (QLineEdit* e : findChildren<QLineEdit*>())
        if (e != searchN_ && !std::count(comment_.begin(), comment_.end(), e))
            connect(e, &QLineEdit::editingFinished, this, &StepEditor::edited);
}

int StepEditor::currentStep() const
{
    return algPage_ * stepedit::kStepsPerPage + std::max(0, tabs_->currentIndex());
}

int StepEditor::field(int f) const
{
    return alg::stepField(blocks_, block_, currentStep(), f);
}

void StepEditor::setField(int f, int value)
{
    alg::setStepField(blocks_, block_, currentStep(), f, value);
}

// ---------------------------------------------------------------- opening

void StepEditor::openFor(int block)
{
    if (!alg::isAlgorithmBlock(blocks_, block)) {
        ui_.message(kFillError, QString(), MessageIcon::Error);
        open_ = false;
        hide();
        emit closed();
        return;
    }
    block_ = block;
    blocks_.cur_block = uint8_t(block);
    blocks_.cur_block_type = uint8_t(alg::kBlockType);
    algPage_ = std::clamp(algPage_, 0, stepedit::kPages - 1);
    open_ = true;
    const int tab = reopenTab_;
    reopenTab_ = 0;
    fill(tab);
    show();
    activateWindow();
}

void StepEditor::startAt(int step)
{
    step = std::clamp(step, 0, alg::kSteps - 1);
    algPage_ = step / stepedit::kStepsPerPage;
    reopenTab_ = step % stepedit::kStepsPerPage;
}

void StepEditor::fill(int tab)
{
    LoadingGuard guard(loading_);
    const int first = algPage_ * stepedit::kStepsPerPage;
    for (int t = 0; t < stepedit::kStepsPerPage; ++t)
        tabs_->setTabText(t, QString::number(first + t + 1));
    const int commentBase = algPage_ * stepedit::kPageComments;
    for (int i = 0; i < stepedit::kPageComments; ++i)
        comments_[i] = alg_.alg_comments[commentBase + i];
    // A field the lists cannot show is reported once, for the first such tab;
    // its control stays empty and the field is left as it is.
    for (int t = 0; t < stepedit::kStepsPerPage; ++t) {
        if (!stepShowable(first + t)) {
            ui_.message(kFillError + QStringLiteral("шаг A") + QString::number(t + 1), QString(),
                        MessageIcon::Error);
            break;
        }
    }
    tabs_->setCurrentIndex(std::clamp(tab, 0, stepedit::kStepsPerPage - 1));
    showStep();
}

bool StepEditor::stepShowable(int s) const
{
    const BlockTable& bt = blocks_;
    auto f = [&](int field) { return alg::stepField(bt, block_, s, field); };
    const int condA = f(alg::cond_a), ops = f(alg::ops);
    if (!inRange(condA, 0, alg::kAOperandCount - 1) || !inRange(ops, 0, 255))
        return false;
    const int bMax = stepedit::condBIsOperandCode(condA, ops) ? alg::kBOperandCount - 1 : 255;
    if (!inRange(f(alg::cond_b), 0, bMax))
        return false;
    for (int b = 0; b < 2; ++b) {
        const int kind = f(kindField(b));
        if (!inRange(kind, 0, 255) || !inRange(f(nextField(b)), 0, alg::kNextStepCount - 1))
            return false;
        if (inRange(kind, 97, 192) && !inRange(f(operandField(b)), 0, alg::kBOperandCount - 1))
            return false;
    }
    std::array<int, 4> codes{};
    for (int row = 0; row < 4; ++row)
        for (int g = 0; g < alg::kPackedGroups; ++g)
            if (!stepedit::unpackCodes(f(rowBase(row) + g), codes))
                return false;
    return true;
}

// ---------------------------------------------------------------- showing

void StepEditor::showStep()
{
    LoadingGuard guard(loading_);
    const int t = std::max(0, tabs_->currentIndex());
    showCondition();
    for (int b = 0; b < 2; ++b)
        showBranch(b);
    for (int k = 0; k < 11; ++k)
        comment_[k]->setText(comments_[11 * t + k]);
    showJumpSources();
    insertAction_->setEnabled(currentStep() < alg::kSteps - 1);
}

void StepEditor::showSetpointBox(int box, int k, int x)
{
    QLineEdit* e = setpointBox_[box];
    if (!inRange(k, 1, alg::kSetpoints)) {
        shownSetpoint_[box] = 0;
        e->hide();
        return;
    }
    if (x >= 0)
        e->move(x, e->y());
    shownSetpoint_[box] = k;
    setpointText_[box] = stepedit::setpointText(alg::setpoint(blocks_, block_, k));
    e->setText(setpointText_[box]);
    e->show();
}

void StepEditor::showCondition()
{
    const int condA = field(alg::cond_a);
    const int ops = field(alg::ops);
    const int condB = field(alg::cond_b);
    setComboIndex(sourceA_, condA);
    setComboIndex(ifAB_, inRange(ops, 0, 255) ? ops & 15 : -1);
    const bool operandCode = stepedit::condBIsOperandCode(condA, ops);
    setComboModel(sourceB_, operandCode ? bOperandModel_ : constModel_);
    setComboIndex(sourceB_, condB);
    const bool withSetpoint = operandCode && inRange(condB, 34, 161);
    ifThen_->setText(withSetpoint ? kLongCondition : kShortCondition);
    ifThen_->setWide(withSetpoint);
    showSetpointBox(CondBox, withSetpoint ? condB - 33 : 0);
}

void StepEditor::showBranch(int b)
{
    BranchControls& c = branch_[b];
    const int s = currentStep();
    setComboIndex(c.kind, field(kindField(b)));
    c.number->setText(QString::number(field(operandField(b))));
    setComboIndex(c.next, field(nextField(b)));
    const bool call = alg::isCall(alg_, s, b == Then ? alg::Branch::Then : alg::Branch::Else);
    c.gotoLabel->setText(call ? QStringLiteral(" call step") : QStringLiteral(" goto step"));
    QPalette pal = c.gotoLabel->palette();
    pal.setColor(QPalette::WindowText, call ? QColor(Qt::red) : QColor(Qt::blue));
    c.gotoLabel->setPalette(pal);
    const int ops = field(alg::ops);
    setComboIndex(c.math, inRange(ops, 0, 255) ? (ops >> mathShift(b)) & 3 : -1);
    showRow(b == Then ? ThenOutputs : ElseOutputs);
    showRow(b == Then ? ThenFlags : ElseFlags);
    applyKindLayout(b);
}

void StepEditor::showRow(int row)
{
    // A value that is not a byte of codes 0..2 shows empty labels.
    for (int g = 0; g < alg::kPackedGroups; ++g) {
        const int v = field(rowBase(row) + g);
        const std::array<int, 4> codes = alg::UnpackBits(inRange(v, 0, 255) ? v : 255);
        for (int j = 0; j < 4; ++j)
            rowLabels_[row][4 * g + j]->setText(codes[j] <= 2 ? alg::stateText(codes[j]) : QString());
    }
}

void StepEditor::applyKindLayout(int b)
{
    BranchControls& c = branch_[b];
    const int kind = field(kindField(b));
    const int op = field(operandField(b));
    const int outRow = b == Then ? ThenOutputs : ElseOutputs;
    const int box = b == Then ? ThenBox : ElseBox;
    for (QLabel* l : rowLabels_[outRow])
        l->setVisible(true);

    bool number = false, spSelect = false, inpSelect = false, math = false;
    int hiddenOutput = 0;   // 1..32
    int valueSetpoint = 0;  // setpoint shown in the value box, 0 = none
    int valueLeft = kSpValueLeft;
    if (inRange(kind, 0, 32)) {
        number = true;
        hiddenOutput = kind;
    } else if (inRange(kind, 33, 64)) {
        spSelect = true;
        setComboModel(c.spSelect, setpointModel_);
        setComboIndex(c.spSelect, op);
        valueSetpoint = inRange(op, 0, 127) ? op + 1 : 0;
        hiddenOutput = kind - 32;
    } else if (inRange(kind, 65, 96)) {
        inpSelect = true;
        setComboIndex(c.inpSelect, op);
        hiddenOutput = kind - 64;
    } else if (inRange(kind, 97, 192)) {
        math = true;
        setComboIndex(c.mathB, op);
        valueSetpoint = inRange(op, 34, 161) ? op - 33 : 0;
        valueLeft = kMathValueLeft;
    } else if (inRange(kind, 193, 255)) {
        spSelect = true;
        setComboModel(c.spSelect, bOperandModel_);
        setComboIndex(c.spSelect, op);
        valueSetpoint = inRange(op, 34, 161) ? op - 33 : 0;
    } else {
        number = true;
    }
    c.number->setVisible(number);
    c.spSelect->setVisible(spSelect);
    c.inpSelect->setVisible(inpSelect);
    c.mathB->setVisible(math);
    c.math->setVisible(math);
    showSetpointBox(box, valueSetpoint, valueLeft);
    if (hiddenOutput >= 1)
        rowLabels_[outRow][hiddenOutput - 1]->setVisible(false);
}

void StepEditor::showJumpSources()
{
    const int c = currentStep();
    const stepedit::JumpSources js = stepedit::jumpSources(blocks_, block_, c);
    std::array<bool, 64> used{};
    for (size_t i = 0; i < js.before.size() && i < 31; ++i) {
        const int label = 30 - int(i);
        used[label] = true;
        gotoStep_[label]->setText(QString::number(js.before[i] + 1));
    }
    for (size_t i = 0; i < js.after.size() && i < 32; ++i) {
        const int label = 32 + int(i);
        used[label] = true;
        gotoStep_[label]->setText(QString::number(js.after[i] + 1));
    }
    gotoStep_[31]->setText(QString::number(c + 1));
    used[31] = true;
    for (int i = 0; i < 64; ++i)
        gotoStep_[i]->setVisible(used[i]);
}

// ---------------------------------------------------------------- control effects

void StepEditor::onTabChanged()
{
    if (loading_ || block_ < 0)
        return;
    showStep();
}

void StepEditor::onSourceA(int index)
{
    if (loading_ || index < 0)
        return;
    setField(alg::cond_a, index);
    LoadingGuard guard(loading_);
    showCondition();
}

void StepEditor::onIfAB(int index)
{
    if (loading_ || index < 0)
        return;
    setField(alg::ops, (field(alg::ops) & 240) + index);
    LoadingGuard guard(loading_);
    showCondition();
}

void StepEditor::onSourceB(int index)
{
    if (loading_ || index < 0)
        return;
    setField(alg::cond_b, index);
    LoadingGuard guard(loading_);
    showCondition();
}

void StepEditor::onKind(int b, int index)
{
    if (loading_ || index < 0)
        return;
    // An operand that the new kind's selector cannot name starts again at 0.
    const int op = field(operandField(b));
    int limit = 255;
    if (inRange(index, 33, 64))
        limit = 127;
    else if (inRange(index, 65, 96))
        limit = 31;
    else if (inRange(index, 97, 255))
        limit = alg::kBOperandCount - 1;
    if (index > 0 && !inRange(op, 0, limit))
        setField(operandField(b), 0);
    setField(kindField(b), index);
    LoadingGuard guard(loading_);
    branch_[b].number->setText(QString::number(field(operandField(b))));
    applyKindLayout(b);
}

void StepEditor::onNumberEdited(int b, const QString& text)
{
    if (loading_)
        return;
    int value = 0;
    if (!stepedit::byteEntry(text, value)) {
        ui_.message(kByteRangeError, QString(), MessageIcon::None);
        LoadingGuard guard(loading_);
        branch_[b].number->setText(QString::number(field(operandField(b))));
        return;
    }
    setField(operandField(b), value);
}

void StepEditor::onSpSelect(int b, int index)
{
    if (loading_ || index < 0)
        return;
    setField(operandField(b), index);
    LoadingGuard guard(loading_);
    applyKindLayout(b);
}

void StepEditor::onInpSelect(int b, int index)
{
    if (loading_ || index < 0)
        return;
    setField(operandField(b), index);
}

void StepEditor::onMathB(int b, int index)
{
    if (loading_ || index < 0)
        return;
    setField(operandField(b), index);
    LoadingGuard guard(loading_);
    applyKindLayout(b);
}

void StepEditor::onMath(int b, int index)
{
    if (loading_ || index < 0)
        return;
    const int shift = mathShift(b);
    const int keep = b == Then ? 207 : 63;
    if (index <= 3) {
        setField(alg::ops, (field(alg::ops) & keep) + (index << shift));
        return;
    }
    // " =" has no code of its own in the two operator bits. For SP1..SP32 it
    // becomes the assignment kind "SPn =" with the same operand; the selected
    // setpoints have no assignment kind, so there the list keeps its operator.
    const int kind = field(kindField(b));
    LoadingGuard guard(loading_);
    if (inRange(kind, 97, 128)) {
        setField(alg::ops, field(alg::ops) & keep);
        setField(kindField(b), kind + 96);
        setComboIndex(branch_[b].kind, kind + 96);
        applyKindLayout(b);
    } else {
        const int ops = field(alg::ops);
        setComboIndex(branch_[b].math, inRange(ops, 0, 255) ? (ops >> shift) & 3 : -1);
    }
}

void StepEditor::onNext(int b, int index)
{
    if (loading_ || index < 0)
        return;
    setField(nextField(b), index);
    LoadingGuard guard(loading_);
    showJumpSources();
}

void StepEditor::onLabelClicked(int row, int k)
{
    if (loading_ || block_ < 0)
        return;
    const int f = rowBase(row) + k / 4;
    std::array<int, 4> codes{};
    stepedit::unpackCodes(field(f), codes);
    for (int& code : codes)
        if (!inRange(code, 0, 2))
            code = 0;
    // "-" -> "1" -> "0" -> "-": codes 0 -> 1 -> 2 -> 0.
    int& code = codes[k % 4];
    code = (code + 1) % 3;
    setField(f, alg::PackBits(codes));
    {
        LoadingGuard guard(loading_);
        showRow(row);
    }
    emit edited();
}

void StepEditor::onSetpointEdited(int box, const QString& text)
{
    if (loading_ || block_ < 0)
        return;
    QLineEdit* e = setpointBox_[box];
    const int k = shownSetpoint_[box];
    const double value = stepedit::leadingNumber(QString(text).replace(QLatin1Char(','), QLatin1Char('.')));
    if (!stepedit::setpointTextAcceptable(text) || k == 0 || !std::isfinite(float(value))) {
        ui_.message(kKeyError, QString(), MessageIcon::Error);
        LoadingGuard guard(loading_);
        const int pos = std::min(int(setpointText_[box].size()), std::max(0, e->cursorPosition() - 1));
        e->setText(setpointText_[box]);
        e->setCursorPosition(pos);
        return;
    }
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    LoadingGuard guard(loading_);
    if (t != text) {
        const int pos = e->cursorPosition();
        e->setText(t);
        e->setCursorPosition(pos);
    }
    setpointText_[box] = t;
    alg::setSetpoint(blocks_, block_, k, float(value));
    for (int other = 0; other < 3; ++other) {
        if (other != box && shownSetpoint_[other] == k) {
            setpointText_[other] = t;
            setpointBox_[other]->setText(t);
        }
    }
}

void StepEditor::onCommentEdited(int slot, const QString& text)
{
    if (loading_)
        return;
    comments_[11 * std::max(0, tabs_->currentIndex()) + slot] = text;
}

// ---------------------------------------------------------------- paging and search

void StepEditor::onPage(int delta)
{
    if (block_ < 0)
        return;
    const int page = std::clamp(algPage_ + delta, 0, stepedit::kPages - 1);
    if (page == algPage_)
        return;
    algPage_ = page;
    fill(0);
}

void StepEditor::onSearchReset()
{
    searchPos_ = 0;
    searchFound_ = false;
}

void StepEditor::onSearch()
{
    if (block_ < 0)
        return;
    if (search_->currentIndex() < 0)
        search_->setCurrentIndex(0);
    const auto category = stepedit::SearchCategory(search_->currentIndex());
    const double nv = stepedit::leadingNumber(searchN_->text());
    const int number = nv > 100000 || nv < -100000 ? 100000 : int(nv);
    while (searchPos_ < alg::kSteps) {
        const int s = searchPos_++;
        if (!stepedit::stepMatches(blocks_, block_, s, category, number))
            continue;
        const int page = s / stepedit::kStepsPerPage;
        const int tab = s % stepedit::kStepsPerPage;
        if (page != algPage_) {
            algPage_ = page;
            fill(tab);
        } else {
            // Same page: the comment edits of the page are kept.
            {
                LoadingGuard guard(loading_);
                tabs_->setCurrentIndex(tab);
            }
            showStep();
        }
        searchFound_ = true;
        return;
    }
    ui_.message(kSearchEnd, QString(), MessageIcon::None);
}

// ---------------------------------------------------------------- insert, delete, closing

void StepEditor::onInsertStep()
{
    if (block_ < 0 || !open_)
        return;
    if (!alg::InsertStepAfter(blocks_, alg_, block_, currentStep()))
        return;
    reloadAfterEdit();
}

void StepEditor::onDeleteStep()
{
    if (block_ < 0 || !open_)
        return;
    if (!alg::DeleteStep(blocks_, alg_, block_, currentStep()))
        return;
    reloadAfterEdit();
}

void StepEditor::reloadAfterEdit()
{
    emit edited();
    reopenTab_ = std::max(0, tabs_->currentIndex());
    hide();
    static const QMetaMethod reloadSignal = QMetaMethod::fromSignal(&StepEditor::reloadRequested);
    if (isSignalConnected(reloadSignal))
        emit reloadRequested(block_);
    else
        openFor(block_);
}

void StepEditor::onOk()
{
    if (open_ && block_ >= 0) {
        const int base = algPage_ * stepedit::kPageComments;
        for (int i = 0; i < stepedit::kPageComments; ++i)
            alg_.alg_comments[base + i] = comments_[i];
    }
    finish();
}

void StepEditor::onCancel()
{
    finish();
}

void StepEditor::finish()
{
    hide();
    if (open_) {
        open_ = false;
        emit closed();
    }
}

void StepEditor::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (open_) {
        open_ = false;
        emit closed();
    }
}

void StepEditor::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        if (parentWidget())
            parentWidget()->window()->showMinimized();
        emit minimized();
    }
}

bool StepEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (watched == tabs_ && me->button() == Qt::RightButton) {
            if (open_)
                stepMenu_->popup(me->globalPosition().toPoint());
            return true;
        }
        if (me->button() == Qt::LeftButton) {
            const QVariant row = watched->property("row");
            if (row.isValid()) {
                onLabelClicked(row.toInt(), watched->property("k").toInt());
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ostrel
