#include "scheme/parameter_rows.h"

#include "scheme/block_table.h"

#include <QLocale>
#include <cfloat>
#include <cmath>

namespace ostrel {

namespace {

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

RowBinding rowBinding(const EditorRow& row, const RowContext& ctx)
{
    const RowSlot& s = row.slot;
    RowBinding b{s.kind, s.index, row.selects(), s.stores};
    switch (s.shift) {
    case SlotShift::None:
        break;
    case SlotShift::Channel:
        b.index = s.index + ctx.c;
        break;
    case SlotShift::PanelSetpoint:
        b.index = ctx.panel == kPanelIncDecPid ? 2 * s.index + 2 : 2 * s.index + 3;
        break;
    case SlotShift::PageButton:
        b.index = s.index + kScadaButtons * ctx.c + ctx.button;
        break;
    }
    return b;
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
    return rowBinding(catalog_.row(type_, r), ctx_);
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
            const int limit = rows[r].offered;
            if (limit >= 0 && v.items.size() > limit)
                v.items = v.items.mid(0, limit);
        }
        if (rows[r].picks == Picks::ChannelFrom1)
            ctx_.c = 1; // the module rows count channels from 1
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
        pick(rows[r], index);
    }
    return true;
}

void ParameterRows::pick(const EditorRow& row, int index)
{
    switch (row.picks) {
    case Picks::Nothing: return;
    case Picks::Channel: ctx_.c = index; break;
    case Picks::ChannelFrom1: ctx_.c = index + 1; break;
    case Picks::Button: ctx_.button = index; break;
    }
    if (type_ == kCode)
        codStep_ = index;
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
    pick(catalog_.row(type_, r), index);
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
