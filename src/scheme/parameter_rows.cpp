#include "scheme/parameter_rows.h"

#include "scheme/block_table.h"

#include <QLocale>
#include <cfloat>
#include <cmath>

namespace ostrel {

namespace {

constexpr RowBinding param(int k, bool selector = false) { return {SlotKind::Param, k, selector, true}; }
constexpr RowBinding text(int k) { return {SlotKind::Text, k, false, true}; }
constexpr RowBinding shownOnly(int k) { return {SlotKind::Param, k, false, false}; }
constexpr RowBinding selectorOnly() { return {SlotKind::None, -1, true, false}; }

// PID rows 1..11 in order.
constexpr int kPidParams[11] = {4, 11, 1, 2, 3, 12, 13, 14, 7, 16, 17};

// A stored float as an index into a list of `count` items.
std::optional<int> listIndex(float v, int count)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const double i = std::nearbyint(double(v));
    if (i < 0 || i >= count)
        return std::nullopt;
    return int(i);
}

bool isChoiceRow(RowKind k) { return k == RowKind::List || k == RowKind::Selector; }

} // namespace

RowBinding rowBinding(int type, int row, const RowContext& ctx)
{
    const int c = ctx.c;
    switch (type) {
    case kAnalogInput: // A_I: input c = 1..4
        if (row == 0) return param(0);
        if (row == 1) return selectorOnly();
        if (row >= 2 && row <= 8) return param(4 * (row - 2) + c);
        break;
    case kAnalogOutput: // A_O: output c = 1..4; "Значение" addresses p(c+4), beyond the block
        if (row == 0) return param(0);
        if (row == 1) return selectorOnly();
        if (row == 2) return param(c);
        if (row == 3) return param(c + 4);
        break;
    case kDiscreteInput: // D_I
    case kDiscreteOutput: // D_O
        if (row == 0) return param(0);
        if (row == 1) return selectorOnly();
        if (row == 2) return param(c);
        break;
    case kRs485: // RS4: device type and baud rate come from the netlist only
        if (row == 0) return param(0);
        if (row == 1 || row == 2) return shownOnly(row);
        break;
    case kMultiplier: case kDivider: case kSquareRoot:
        if (row >= 0 && row <= 3) return param(row);
        break;
    case kSum: // SUM: offset first, then the gains, then the type
        if (row == 0) return param(8);
        if (row >= 1 && row <= 8) return param(row - 1);
        if (row == 9) return param(9);
        break;
    case kAnd: case kOr: case kRegister: case kMultiplexer: case kMinMax:
        if (row == 0) return param(0);
        break;
    case kSetpointBlock: // S_P: name / value pairs, then the block name
        if (row == 16) return text(8);
        if (row >= 0 && row < 16) return (row % 2 == 0) ? text(row / 2) : param(row / 2);
        break;
    case kPid: // PID
        if (row == 0) return param(0);
        if (row >= 1 && row <= 11) return param(kPidParams[row - 1]);
        break;
    case kProgramSetter: // PRO: the step list is stored in p0 and selects step c
        if (row == 0) return param(0, true);
        if (row == 1) return param(4 + c);
        if (row == 2) return param(36 + c);
        if (row == 3) return param(68 + c);
        if (row == 4) return param(100 + c);
        if (row == 5) return param(136);
        break;
    case kPanel: // PAN: panel type 5 keeps its setpoints in the even parameters
        if (row == 0) return param(0);
        if (row >= 1 && row <= 5) return text(row - 1);
        if (row >= 6 && row <= 9) {
            const int k = row - 6;
            return param(ctx.panel == 5 ? 2 * k + 2 : 2 * k + 3);
        }
        if (row >= 10 && row <= 13) return param(row);
        break;
    case kRealTimeClock:
        if (row >= 0 && row <= 5) return param(row);
        break;
    case kCode: // COD: step c = 0..31 held by the editor
        if (row == 0) return selectorOnly();
        if (row == 1) return param(4 + c);
        if (row == 2) return param(36 + c);
        if (row == 3) return param(68 + c);
        if (row == 4) return param(0);
        break;
    case kLimiter:
        if (row >= 0 && row <= 3) return param(row);
        break;
    case kComparator:
        if (row >= 0 && row <= 5) return param(row);
        break;
    case kTimer:
        if (row >= 0 && row <= 4) return param(row);
        break;
    case kCounter:
        if (row >= 0 && row <= 2) return param(row);
        break;
    case kOscillator:
        if (row >= 0 && row <= 8) return param(row);
        break;
    case kGraph: // GRA: the channel list is stored in p33 and selects channel c
        if (row == 0) return param(33, true);
        if (row == 1) return param(0);
        if (row == 2) return text(33);
        if (row == 3) return param(34 + c);
        if (row == 4) return param(67 + c);
        if (row == 5) return text(1 + c);
        break;
    case kJournal: // JUR: event c = 0..31; text 0 is the journal's own name and
             // event c's name is text c + 1, as the netlist import stores them
        if (row == 0) return selectorOnly();
        if (row == 1) return text(c + 1);
        if (row == 2) return param(10 + c);
        if (row == 3) return param(50);
        if (row == 4) return param(51 + c);
        break;
    case kScadaPage: // SCA: page c, button; the button table lies beyond the block
        if (row == 0 || row == 1) return selectorOnly();
        if (row == 2) return param(8 + 24 * c + ctx.button);
        break;
    case kLogic: // LOG: channel c
        if (row == 0) return selectorOnly();
        if (row == 1) return param(c);
        if (row == 2) return param(3 + c);
        if (row == 3) return param(6 + c);
        break;
    case kAlgorithm:
        if (row == 0) return param(0);
        break;
    case kUniversal: // UNI
        if (row >= 0 && row <= 8) return param(row);
        break;
    case kReport: // REP: event names
        if (row >= 0 && row <= 15) return text(row);
        break;
    default:
        break;
    }
    return {};
}

int selectorItemLimit(int type, int row)
{
    // The logic block owns nine parameters, three per column: a fourth
    // channel would address p3, p6 and p9 of other channels and the next block.
    if (type == kLogic && row == 0)
        return 3;
    return -1;
}

// ---------------------------------------------------------------------------

BlockSlots::BlockSlots(BlockTable& blocks, const BlockCatalog& catalog, int block)
    : blocks_(&blocks), block_(block)
{
    if (block < 0 || block >= BlockTable::kBlocks)
        return;
    const int type = blocks.block_type[block];
    params_ = catalog.paramCount(type);
    texts_ = catalog.textCount(type);
}

float* BlockSlots::param(int k) const
{
    if (k < 0 || k >= params_)
        return nullptr;
    const int i = int(blocks_->param_base[block_]) + k;
    if (i < 0 || i >= BlockTable::kParams)
        return nullptr;
    return &blocks_->ParamStore[i];
}

QString* BlockSlots::text(int k) const
{
    if (k < 0 || k >= texts_)
        return nullptr;
    const int i = int(blocks_->text_base[block_]) + k;
    if (i < 0 || i >= BlockTable::kTexts)
        return nullptr;
    return &blocks_->TextStore[i];
}

// ---------------------------------------------------------------------------

std::optional<float> parseUserNumber(const QString& input)
{
    const QString s = input.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    bool ok = false;
    QLocale loc;
    loc.setNumberOptions(QLocale::RejectGroupSeparator);
    double d = loc.toDouble(s, &ok);
    if (!ok) {
        QString t = s;
        t.replace(QLatin1Char(','), QLatin1Char('.'));
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        d = c.toDouble(t, &ok);
    }
    if (!ok || !std::isfinite(d) || std::fabs(d) > double(FLT_MAX))
        return std::nullopt;
    return float(d);
}

QString formatUserNumber(float value)
{
    QLocale loc;
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc.toString(double(value), 'g', 7);
}

// ---------------------------------------------------------------------------

ParameterRows::ParameterRows(BlockTable& blocks, const BlockCatalog& catalog)
    : blocks_(blocks), catalog_(catalog)
{
}

RowBinding ParameterRows::binding(int r) const
{
    return rowBinding(type_, r, ctx_);
}

int ParameterRows::subtype() const
{
    const LabelSets& labels = catalog_.info(type_).labels;
    if (labels.param < 0)
        return 0;
    const float* p = own().param(labels.param);
    if (!p)
        return 0;
    // Only a subtype its list offers picks a label set.
    const int count = catalog_.row(type_, labels.listRow).itemCount();
    return listIndex(*p, count).value_or(0);
}

void ParameterRows::refreshContextFromStore()
{
    if (type_ == kPanel) {
        const float* p = own().param(0);
        ctx_.panel = (p && std::isfinite(*p)) ? int(std::nearbyint(double(*p))) : 0;
    }
}

void ParameterRows::recaption()
{
    const int k = subtype();
    for (int r = 0; r < shown_; ++r)
        rows_[r].caption = catalog_.rowCaption(type_, r, k);
}

bool ParameterRows::loadRow(int r)
{
    RowView& v = rows_[r];
    const RowBinding b = binding(r);
    const BlockSlots mine = own();
    v.enabled = true;
    switch (v.kind) {
    case RowKind::Number: {
        const float* p = b.kind == SlotKind::Param ? mine.param(b.index) : nullptr;
        v.enabled = p != nullptr;
        v.text = p ? formatUserNumber(*p) : QString();
        return true;
    }
    case RowKind::Name: {
        const QString* t = b.kind == SlotKind::Text ? mine.text(b.index) : nullptr;
        v.enabled = t != nullptr;
        v.text = t ? *t : QString();
        return true;
    }
    case RowKind::List:
    case RowKind::Selector: {
        if (b.kind == SlotKind::None) {
            v.enabled = b.selector;
            return true;
        }
        const float* p = b.kind == SlotKind::Param ? mine.param(b.index) : nullptr;
        v.enabled = p != nullptr;
        v.current = -1;
        if (!p)
            return true;
        const auto i = listIndex(*p, int(v.items.size()));
        if (!i)
            return false;
        v.current = *i;
        return true;
    }
    case RowKind::Hidden:
        break;
    }
    return true;
}

bool ParameterRows::usable(int r) const
{
    const RowBinding b = binding(r);
    const BlockSlots mine = own();
    switch (b.kind) {
    case SlotKind::None: return b.selector;
    case SlotKind::Param: return rows_[r].kind != RowKind::Name && mine.param(b.index);
    case SlotKind::Text: return rows_[r].kind == RowKind::Name && mine.text(b.index);
    }
    return false;
}

void ParameterRows::stopLoadingAt(int r)
{
    failedRow_ = r;
    // The rows after it show nothing, but still only take what they can store.
    for (int rr = r + 1; rr < shown_; ++rr)
        rows_[rr].enabled = usable(rr);
}

void ParameterRows::reloadValues(int except)
{
    for (int r = 0; r < shown_; ++r) {
        if (r == except || binding(r).selector)
            continue;
        loadRow(r); // a value that cannot be shown leaves the row unselected
    }
}

bool ParameterRows::load(int block, int cod_step)
{
    block_ = (block >= 0 && block < BlockTable::kBlocks) ? block : 0;
    type_ = blocks_.block_type[block_];
    ctx_ = RowContext{};
    if (type_ >= kAnalogInput && type_ <= kDiscreteOutput)
        ctx_.c = 1; // the module rows count channels from 1
    failedRow_ = -1;
    rows_.fill(RowView{});

    // Layout: rows up to the first hidden one.
    const auto& rows = catalog_.info(type_).rows;
    shown_ = 0;
    for (int r = 0; r < kRows && r < int(rows.size()); ++r) {
        if (rows[r].kind == RowKind::Hidden)
            break;
        RowView& v = rows_[r];
        v.kind = rows[r].kind;
        if (isChoiceRow(v.kind)) {
            v.items = rows[r].items;
            const int limit = selectorItemLimit(type_, r);
            if (limit >= 0 && v.items.size() > limit)
                v.items = v.items.mid(0, limit);
        }
        shown_ = r + 1;
    }
    refreshContextFromStore();
    recaption();

    codStep_ = cod_step;
    for (int r = 0; r < shown_; ++r) {
        const RowBinding b = binding(r);
        if (!b.selector) {
            if (!loadRow(r)) {
                stopLoadingAt(r);
                return false;
            }
            continue;
        }
        // Selectors: the stored ones (program step, graph channel) show their
        // parameter; the code block resumes at its remembered step; every
        // other selector, the journal event included, starts at item 0.
        RowView& v = rows_[r];
        int index = 0;
        if (b.kind == SlotKind::Param) {
            if (!loadRow(r)) {
                stopLoadingAt(r);
                return false;
            }
            index = v.current;
        } else if (type_ == kCode) {
            index = (cod_step >= 0 && cod_step < v.items.size()) ? cod_step : 0;
        }
        if (index < 0 || index >= v.items.size())
            continue; // no items to choose from (or a slot outside the block)
        v.current = index;
        v.enabled = true;
        if (type_ >= kAnalogInput && type_ <= kDiscreteOutput)
            ctx_.c = index + 1;
        else if (type_ == kScadaPage && r == 1)
            ctx_.button = index;
        else
            ctx_.c = index;
        if (type_ == kCode)
            codStep_ = index;
    }
    return true;
}

void ParameterRows::choose(int r, int index)
{
    if (r < 0 || r >= shown_)
        return;
    RowView& v = rows_[r];
    if (!isChoiceRow(v.kind) || !v.enabled || index < 0 || index >= v.items.size())
        return;
    v.current = index;
    const RowBinding b = binding(r);
    if (b.kind == SlotKind::Param && b.stores) {
        if (float* p = own().param(b.index))
            *p = float(index);
    }
    if (b.selector) {
        if (type_ >= kAnalogInput && type_ <= kDiscreteOutput)
            ctx_.c = index + 1;
        else if (type_ == kScadaPage && r == 1)
            ctx_.button = index;
        else
            ctx_.c = index;
        if (type_ == kCode)
            codStep_ = index;
    }
    refreshContextFromStore();
    recaption();
    reloadValues(r);
}

bool ParameterRows::edit(int r, const QString& input)
{
    if (r < 0 || r >= shown_)
        return false;
    RowView& v = rows_[r];
    if (!v.enabled || (v.kind != RowKind::Number && v.kind != RowKind::Name))
        return false;
    v.text = input;
    const RowBinding b = binding(r);
    const BlockSlots mine = own();
    if (v.kind == RowKind::Number) {
        float* p = b.kind == SlotKind::Param ? mine.param(b.index) : nullptr;
        const auto value = parseUserNumber(input);
        if (!p || !value)
            return false;
        *p = *value;
        return true;
    }
    QString* t = b.kind == SlotKind::Text ? mine.text(b.index) : nullptr;
    if (!t)
        return false;
    *t = input;
    return true;
}

} // namespace ostrel
