#include "workspace/project_history.h"

#include "scada/record_fields.h"
#include "workspace/workspace.h"

#include <array>
#include <cstring>
#include <type_traits>
#include <vector>

namespace ostrel {

void HistoryEffect::merge(const HistoryEffect& o)
{
    pages |= o.pages;
    scheme = scheme || o.scheme;
    algorithm = algorithm || o.algorithm;
    settings = settings || o.settings;
    version = version || o.version;
}

// The project as it stood after the last step.
struct ProjectShadow {
    ProjectSettings settings;
    uint8_t version_code = 5;
    BlockTable blocks;
    AlgorithmData alg;
    ScadaPages pages;
    ReportReserve report_reserve;
    bool scheme_without_netlist = false;

    void copyFrom(const Workspace& ws)
    {
        settings = ws.settings;
        version_code = ws.version_code;
        blocks = ws.blocks;
        alg = ws.alg;
        pages = ws.pages;
        report_reserve = ws.report_reserve;
        scheme_without_netlist = ws.scheme_without_netlist;
    }
};

namespace {

// --- equality and size of the values the history keeps ---

// The fields of a page record, collected by its field visit.
struct RecordFields {
    std::array<int32_t, 16> numbers{};
    std::array<const QString*, 4> texts{};
    int n = 0, t = 0;
    void i16(int16_t& v) { numbers[size_t(n++)] = v; }
    void i32(int32_t& v) { numbers[size_t(n++)] = v; }
    void u8(uint8_t& v) { numbers[size_t(n++)] = v; }
    void text(QString& s) { texts[size_t(t++)] = &s; }
};

template <class T>
concept PageRecord = requires(T& e, RecordFields& v) { visitFields(e, v); };

template <PageRecord T> bool same(const T& a, const T& b)
{
    RecordFields fa, fb;
    visitFields(const_cast<T&>(a), fa);
    visitFields(const_cast<T&>(b), fb);
    if (fa.numbers != fb.numbers)
        return false;
    for (int i = 0; i < fa.t; ++i)
        if (*fa.texts[size_t(i)] != *fb.texts[size_t(i)])
            return false;
    return true;
}

// Numbers compare by their bits: a stored NaN stays equal to itself.
template <class T>
    requires std::is_arithmetic_v<T>
bool same(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool same(const QString& a, const QString& b) { return a == b; }

template <class T, size_t N>
    requires std::is_arithmetic_v<T>
bool same(const std::array<T, N>& a, const std::array<T, N>& b)
{
    return std::memcmp(a.data(), b.data(), sizeof(T) * N) == 0;
}

bool same(const ProjectSettings& a, const ProjectSettings& b)
{
    return a.link_port == b.link_port && a.controller_number == b.controller_number
        && a.ip_address == b.ip_address && a.tcp_port == b.tcp_port && a.project_name == b.project_name
        && a.netlist_path == b.netlist_path;
}

bool same(const ReportReserve& a, const ReportReserve& b)
{
    return a.value == b.value && a.texts == b.texts;
}

size_t textBytes(const QString& s) { return size_t(s.size()) * sizeof(QChar); }

struct RecordTextBytes {
    size_t bytes = 0;
    void i16(int16_t&) {}
    void i32(int32_t&) {}
    void u8(uint8_t&) {}
    void text(QString& s) { bytes += textBytes(s); }
};

template <PageRecord T> size_t payloadBytes(const T& e)
{
    RecordTextBytes v;
    visitFields(const_cast<T&>(e), v);
    return v.bytes;
}
size_t payloadBytes(const QString& s) { return textBytes(s); }
size_t payloadBytes(const ProjectSettings& s)
{
    return textBytes(s.ip_address) + textBytes(s.project_name) + textBytes(s.netlist_path);
}
size_t payloadBytes(const ReportReserve& r)
{
    size_t n = 0;
    for (const QString& s : r.texts)
        n += textBytes(s);
    return n;
}
template <class T> size_t payloadBytes(const T&) { return 0; }

// --- the kept changes ---

class Change {
public:
    explicit Change(const HistoryEffect& e) : effect(e) {}
    virtual ~Change() = default;
    // Writes the value before (undo) or after (redo) into the project and the shadow.
    virtual void apply(bool before) = 0;
    virtual size_t bytes() const = 0;
    HistoryEffect effect;
};

template <class T> class ValueChange final : public Change {
public:
    ValueChange(T* live, T* shadow, const HistoryEffect& e)
        : Change(e), live_(live), shadow_(shadow), before_(*shadow), after_(*live)
    {
    }
    void apply(bool before) override
    {
        const T& v = before ? before_ : after_;
        *live_ = v;
        *shadow_ = v;
    }
    size_t bytes() const override { return sizeof(*this) + payloadBytes(before_) + payloadBytes(after_); }

private:
    T* live_;
    T* shadow_;
    T before_;
    T after_;
};

using Changes = std::vector<std::unique_ptr<Change>>;

// Walks the project beside its shadow. With `out` every difference is kept
// and the shadow brought up to date; without it the walk only looks.
class Differ {
public:
    explicit Differ(Changes* out) : out_(out) {}

    bool found() const { return found_; }
    void at(const HistoryEffect& where) { where_ = where; }

    template <class T> void unit(T& live, T& shadow)
    {
        if (found_ && !out_)
            return;
        if (same(live, shadow))
            return;
        found_ = true;
        if (!out_)
            return;
        out_->push_back(std::make_unique<ValueChange<T>>(&live, &shadow, where_));
        shadow = live;
    }

    // A flat table compared entry by entry, in runs so that an unchanged run
    // of numbers costs one comparison.
    template <class T, size_t N> void entries(std::array<T, N>& live, std::array<T, N>& shadow)
    {
        constexpr size_t kRun = 64;
        for (size_t start = 0; start < N; start += kRun) {
            const size_t end = std::min(N, start + kRun);
            if constexpr (std::is_arithmetic_v<T>) {
                if (std::memcmp(&live[start], &shadow[start], sizeof(T) * (end - start)) == 0)
                    continue;
            }
            for (size_t i = start; i < end; ++i)
                unit(live[i], shadow[i]);
        }
    }

private:
    Changes* out_;
    bool found_ = false;
    HistoryEffect where_;
};

HistoryEffect onPage(int p) { return {uint16_t(1u << unsigned(p)), false, false, false, false}; }

template <class Table> void pageTable(Differ& d, Table& live, Table& shadow)
{
    for (size_t p = 0; p < live.size(); ++p) {
        d.at(onPage(int(p)));
        for (size_t n = 0; n < live[p].size(); ++n)
            d.unit(live[p][n], shadow[p][n]);
    }
}

// Every table of the project, once.
void walk(Differ& d, Workspace& ws, ProjectShadow& sh)
{
    d.at({0, false, false, true, false});
    d.unit(ws.settings, sh.settings);
    d.at({0, false, false, false, true});
    d.unit(ws.version_code, sh.version_code);

    d.at({0, true, false, false, false});
    BlockTable& a = ws.blocks;
    BlockTable& b = sh.blocks;
    d.entries(a.block_type, b.block_type);
    d.entries(a.param_base, b.param_base);
    d.entries(a.text_base, b.text_base);
    d.unit(a.invert_mask, b.invert_mask);
    d.entries(a.InputLink, b.InputLink);
    d.entries(a.ParamStore, b.ParamStore);
    d.entries(a.TextStore, b.TextStore);
    d.unit(a.graph_input_link, b.graph_input_link);
    d.unit(a.journal_input_link, b.journal_input_link);
    d.entries(a.special_link, b.special_link);
    d.unit(a.journal_invert, b.journal_invert);
    d.unit(a.report_invert, b.report_invert);
    d.entries(a.alg_param_saved, b.alg_param_saved);
    d.entries(a.alg_text_saved, b.alg_text_saved);
    d.unit(a.param_bytes, b.param_bytes);
    d.unit(a.text_bytes, b.text_bytes);
    d.unit(ws.scheme_without_netlist, sh.scheme_without_netlist);
    d.unit(ws.report_reserve, sh.report_reserve);

    d.at({0, false, true, false, false});
    d.entries(ws.alg.alg_comments, sh.alg.alg_comments);
    d.entries(ws.alg.call_flags, sh.alg.call_flags);

    ScadaPages& pa = ws.pages;
    ScadaPages& pb = sh.pages;
    pageTable(d, pa.parametr, pb.parametr);
    pageTable(d, pa.signal, pb.signal);
    pageTable(d, pa.text_signal, pb.text_signal);
    pageTable(d, pa.level, pb.level);
    pageTable(d, pa.go_block, pb.go_block);
    pageTable(d, pa.figura, pb.figura);
    pageTable(d, pa.vent, pb.vent);
    pageTable(d, pa.text, pb.text);
    pageTable(d, pa.control, pb.control);
    pageTable(d, pa.menu, pb.menu);
    // The graph and clock of page p sit at position p + 1.
    for (size_t i = 1; i < pa.grafik.size(); ++i) {
        d.at(onPage(int(i) - 1));
        d.unit(pa.grafik[i], pb.grafik[i]);
        d.unit(pa.clock[i], pb.clock[i]);
    }
    d.at(onPage(0));
    d.unit(pa.grafik[0], pb.grafik[0]);
    d.unit(pa.clock[0], pb.clock[0]);
    for (size_t i = 0; i < pa.background_refs.size(); ++i) {
        d.at(onPage(int(i % ScadaPages::kShownPages)));
        d.unit(pa.background_refs[i], pb.background_refs[i]);
    }
    for (size_t p = 0; p < size_t(ScadaPages::kPages); ++p) {
        d.at(onPage(int(p)));
        d.unit(pa.background_kind[p], pb.background_kind[p]);
        d.unit(pa.fill_color[p], pb.fill_color[p]);
    }
    // The grid is one setting of every page.
    d.at({uint16_t((1u << ScadaPages::kShownPages) - 1), false, false, false, false});
    d.unit(pa.grid_step, pb.grid_step);
    d.unit(pa.grid_enabled, pb.grid_enabled);
    d.unit(pa.grid_step_copy, pb.grid_step_copy);
    d.unit(pa.grid_enabled_copy, pb.grid_enabled_copy);
}

} // namespace

// One user action: the values it changed, before and after.
class HistoryStep final : public QUndoCommand {
public:
    HistoryStep(ProjectHistory& h, Changes changes, const QString& label)
        : QUndoCommand(label), history_(h), changes_(std::move(changes))
    {
        for (const auto& c : changes_)
            effect_.merge(c->effect);
    }
    // The step is pushed after its changes were made: the first redo is the
    // change itself.
    void redo() override
    {
        if (first_) {
            first_ = false;
            return;
        }
        for (const auto& c : changes_)
            c->apply(false);
        history_.applied(effect_);
    }
    void undo() override
    {
        for (auto it = changes_.rbegin(); it != changes_.rend(); ++it)
            (*it)->apply(true);
        history_.applied(effect_);
    }
    size_t bytes() const
    {
        size_t n = sizeof(*this);
        for (const auto& c : changes_)
            n += c->bytes();
        return n;
    }

private:
    ProjectHistory& history_;
    Changes changes_;
    HistoryEffect effect_;
    bool first_ = true;
};

ProjectHistory::ProjectHistory(Workspace& ws) : ws_(ws), shadow_(std::make_unique<ProjectShadow>())
{
    shadow_->copyFrom(ws_);
    connect(&stack_, &QUndoStack::indexChanged, this, &ProjectHistory::changed);
    connect(&stack_, &QUndoStack::cleanChanged, this, &ProjectHistory::changed);
}

ProjectHistory::~ProjectHistory() = default;

void ProjectHistory::reset()
{
    stack_.clear();
    shadow_->copyFrom(ws_);
    stack_.setClean();
    emit changed();
}

bool ProjectHistory::commit(const QString& label)
{
    Changes changes;
    Differ d(&changes);
    walk(d, ws_, *shadow_);
    if (changes.empty())
        return false;
    stack_.push(new HistoryStep(*this, std::move(changes), label));
    return true;
}

void ProjectHistory::absorb()
{
    Changes dropped;
    Differ d(&dropped);
    walk(d, ws_, *shadow_);
}

bool ProjectHistory::hasUncommittedChanges() const
{
    Differ d(nullptr);
    walk(d, ws_, *shadow_);
    return d.found();
}

void ProjectHistory::undo()
{
    stack_.undo();
}

void ProjectHistory::redo()
{
    stack_.redo();
}

size_t ProjectHistory::keptBytes() const
{
    size_t n = 0;
    for (int i = 0; i < stack_.count(); ++i)
        n += static_cast<const HistoryStep*>(stack_.command(i))->bytes();
    return n;
}

void ProjectHistory::applied(const HistoryEffect& effect)
{
    if (effect.version)
        ws_.catalog.applyVersion(ws_.version_code);
    if (onApplied_)
        onApplied_(effect);
}

} // namespace ostrel
