#include "project/project_reader.h"

#include "platform/headless_interaction.h"
#include "platform/text_encoding.h"
#include "project/project_format.h"
#include "project/project_sections.h"
#include "project/page_layout.h"
#include "scada/page_editing.h"
#include "scheme/netlist_import.h"
#include "workspace/workspace.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <memory>
#include <vector>

namespace ostrel {

using namespace project;

namespace {

// Larger files are refused: a full project is well under a megabyte.
constexpr qint64 kMaxProjectBytes = 64LL * 1024 * 1024;

// Hands out the lines of the decoded file one by one; a line ends at LF, a CR
// before it is dropped.
class LineSource {
public:
    explicit LineSource(const QString& text) : text_(text) {}

    bool next(QStringView* line)
    {
        if (pos_ >= text_.size())
            return false;
        qsizetype end = text_.indexOf(u'\n', pos_);
        if (end < 0)
            end = text_.size();
        qsizetype stop = end;
        if (stop > pos_ && text_[stop - 1] == u'\r')
            --stop;
        *line = QStringView(text_).mid(pos_, stop - pos_);
        pos_ = end + 1;
        return true;
    }

private:
    const QString& text_;
    qsizetype pos_ = 0;
};

// Reads fields line by line; after the first missing or wrong line `ok`
// stays false and every further read leaves its field alone.
struct LineReader {
    LineSource& src;
    bool ok = true;
    bool withMechanisms = true;

    QStringView take()
    {
        QStringView l;
        if (!ok || !src.next(&l)) {
            ok = false;
            return {};
        }
        return l;
    }
    qint64 integer(qint64 lo, qint64 hi)
    {
        return std::clamp(parseLeadingInteger(take()), lo, hi);
    }
    void i16(int16_t& v)
    {
        const qint64 x = integer(INT16_MIN, INT16_MAX);
        if (ok)
            v = int16_t(x);
    }
    void i32(int32_t& v)
    {
        const qint64 x = integer(INT32_MIN, INT32_MAX);
        if (ok)
            v = int32_t(x);
    }
    void u8(uint8_t& v)
    {
        const qint64 x = integer(0, 255);
        if (ok)
            v = uint8_t(x);
    }
    void text(QString& s)
    {
        const QStringView l = take();
        if (ok)
            s = l.toString();
    }
    // A fixed line: headers must match (trailing blanks aside); the "Reserv"
    // lines after mechanism records are read and ignored.
    void fixed(const QString& expected)
    {
        const QStringView l = take();
        if (ok && expected != kReserveLine && trimmedRight(l) != expected)
            ok = false;
    }
    void label(int, const QString&, int) { take(); }
    void before_control(ControlElement&) {}
    bool mechanisms() const { return withMechanisms; }

    static QStringView trimmedRight(QStringView l)
    {
        while (!l.isEmpty() && (l.back() == u' ' || l.back() == u'\t'))
            l.chop(1);
        return l;
    }
};

// Everything the file holds, read before anything in the workspace changes.
struct Staged {
    int version_line = 0;
    uint8_t version = 5;
    QString project_name;
    int16_t link_port = 1;
    QString ip_address;
    int32_t tcp_port = 0;
    int16_t controller_number = 1;
    QString netlist_ref;
    std::unique_ptr<ScadaPages> pages = std::make_unique<ScadaPages>();
    std::array<int16_t, BlockTable::kBlocks> types{};
    std::array<std::vector<QString>, BlockTable::kBlocks> params{}; // parameter lines per block
    std::array<std::vector<QString>, BlockTable::kBlocks> texts{};  // name lines per block
    ReportReserve reserve;
    std::vector<QString> comments;
    std::vector<uint8_t> flags; // branch-major, as stored
    bool comments_complete = true;
    QString decimal_point;
};

uint8_t versionFromLine(int v, uint8_t current)
{
    switch (v) {
    case 5: return 5;
    case 3: case 4: return 3;
    case 1: return 1;
    case 0: case 2: return 0;
    default: return current;
    }
}

bool parseProject(const QString& text, const Workspace& ws, Staged& st, QString* error)
{
    LineSource src(text);
    LineReader r{src};
    auto fail = [&](const char* what) {
        *error = QString::fromLatin1(what);
        return false;
    };

    // Sections 1..7.
    const QStringView first = r.take();
    if (!r.ok)
        return fail("empty file");
    st.version_line = int(std::clamp<qint64>(parseLeadingInteger(first), INT32_MIN, INT32_MAX));
    st.version = versionFromLine(st.version_line, ws.version_code);
    r.text(st.project_name);
    r.i16(st.link_port);
    r.text(st.ip_address);
    r.i32(st.tcp_port);
    r.i16(st.controller_number);
    r.text(st.netlist_ref);
    if (!r.ok)
        return fail("the file ends in its settings");

    // Sections 8..19.
    r.withMechanisms = storesMechanisms(st.version);
    visitPages(*st.pages, r);
    if (!r.ok)
        return fail("the SCADA pages are incomplete or not where expected");

    // Sections 20, 21.
    r.fixed(kSchemeHeader);
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        int16_t t = 0;
        r.i16(t);
        st.types[n] = (t >= 0 && t <= BlockCatalog::kTypes) ? t : int16_t(kNoBlockType);
    }
    if (!r.ok)
        return fail("the block types are incomplete or not where expected");

    // The counts of the file's version, without touching the workspace yet.
    BlockCatalog cat = ws.catalog;
    cat.applyVersion(st.version);

    // Section 22.
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        const int t = st.types[n];
        if (t == kNoBlockType)
            continue;
        r.take(); // block header
        const int count = cat.paramCount(t) + 1;
        auto& lines = st.params[n];
        lines.reserve(size_t(count));
        for (int k = 0; k < count && r.ok; ++k) {
            const QStringView l = r.take();
            if (!r.ok)
                break;
            if (st.decimal_point.isEmpty()) {
                if (l.contains(u','))
                    st.decimal_point = QStringLiteral(",");
                else if (l.contains(u'.'))
                    st.decimal_point = QStringLiteral(".");
            }
            lines.push_back(l.toString());
        }
    }
    // Section 23.
    if (hasReportBlock(st.types)) {
        int32_t v = 0;
        r.i32(v);
        st.reserve.value = v == INT32_MIN ? INT32_MAX : (v < 0 ? -v : v);
        for (QString& s : st.reserve.texts)
            r.text(s);
    }
    if (!r.ok)
        return fail("the block parameters are incomplete");

    // Sections 24, 25.
    r.fixed(kNamesHeader);
    if (!r.ok)
        return fail("the names section is not where expected");
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        const int t = st.types[n];
        if (!storesNames(cat, t))
            continue;
        r.take(); // name header
        const int count = cat.textCount(t);
        auto& lines = st.texts[n];
        lines.reserve(size_t(count));
        for (int k = 0; k < count && r.ok; ++k) {
            const QStringView l = r.take();
            if (r.ok)
                lines.push_back(l.toString());
        }
    }
    if (!r.ok)
        return fail("the block names are incomplete");

    // Section 26: a problem here ends the reading, keeping what was read.
    if (storesComments(st.version)) {
        r.fixed(kCommentsHeader);
        st.comments.reserve(AlgorithmData::kComments);
        for (int i = 0; i < AlgorithmData::kComments && r.ok; ++i) {
            const QStringView l = r.take();
            if (r.ok)
                st.comments.push_back(l.toString());
        }
        for (int i = 0; i < 2 * kCallFlagSteps && r.ok; ++i) {
            uint8_t f = 0;
            r.u8(f);
            if (r.ok)
                st.flags.push_back(f);
        }
        st.comments_complete = r.ok;
    }
    return true;
}

// Puts the stored parameters and texts of block n back at its current bases.
// `with_extra` also restores the line after its parameters (the unowned
// entry after the last block).
void restoreBlock(Workspace& ws, const Staged& st, int n, bool with_extra)
{
    BlockTable& bt = ws.blocks;
    const int t = bt.block_type[n];
    const auto& params = st.params[n];
    const int count = ws.catalog.paramCount(t);
    int limit = std::min<int>(count, int(params.size()));
    if (with_extra && int(params.size()) > count)
        limit = count + 1;
    for (int k = 0; k < limit; ++k) {
        const int idx = bt.param_base[n] + k;
        float v = 0.0f;
        if (idx >= 0 && idx < BlockTable::kParams && parseParameter(params[size_t(k)], &v))
            bt.ParamStore[idx] = v;
    }
    const auto& texts = st.texts[n];
    const int tcount = std::min<int>(ws.catalog.textCount(t), int(texts.size()));
    for (int k = 0; k < tcount; ++k) {
        const int idx = bt.text_base[n] + k;
        if (idx >= 0 && idx < BlockTable::kTexts)
            bt.TextStore[idx] = texts[size_t(k)];
    }
}

int lastTyped(const std::array<int16_t, BlockTable::kBlocks>& types)
{
    for (int n = BlockTable::kLastBlock; n >= 1; --n)
        if (types[n] != kNoBlockType)
            return n;
    return 0;
}

// After the netlist import: the project file wins for every block number that
// still carries the type it had when the project was saved.
void restoreAfterImport(Workspace& ws, const Staged& st)
{
    const int last = lastTyped(st.types);
    const bool sameLast = last != 0 && last == lastTyped(ws.blocks.block_type);
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        const int t = ws.blocks.block_type[n];
        if (t != kNoBlockType && t == st.types[n])
            restoreBlock(ws, st, n, sameLast && n == last);
    }
}

// Without its netlist the scheme is laid out from the file alone: the stored
// types, bases by the allocation rule, the stored values; no wiring.
void rebuildFromFile(Workspace& ws, const Staged& st)
{
    BlockTable& bt = ws.blocks;
    const BlockCatalog& cat = ws.catalog;
    bt.block_type.fill(0);
    bt.param_base.fill(0);
    bt.text_base.fill(0);
    for (int n = 1; n <= BlockTable::kLastBlock; ++n)
        bt.block_type[n] = int16_t(st.types[n]);
    allocateBlocks(bt, cat);
    bt.clearWiring();

    const int last = lastTyped(bt.block_type);
    for (int n = 1; n <= BlockTable::kLastBlock; ++n)
        if (bt.block_type[n] != kNoBlockType)
            restoreBlock(ws, st, n, n == last && n == lastTyped(st.types));
}

void applyStaged(Workspace& ws, Staged& st, const QString& folder)
{
    ws.selectVersion(st.version);

    ProjectSettings& s = ws.settings;
    s.project_name = st.project_name;
    s.link_port = st.link_port;
    s.ip_address = st.ip_address;
    s.tcp_port = st.tcp_port;
    s.controller_number = st.controller_number;
    s.netlist_path = pathInFolder(folder, st.netlist_ref);

    if (s.usesTcp()) {
        ws.transfer.page_chain_interval = 3000;
        ws.transfer.timer_multiplier = 10;
    } else {
        ws.transfer.page_chain_interval = 1000;
        ws.transfer.timer_multiplier = 1;
    }

    ws.pages = std::move(*st.pages);

    BlockTable& bt = ws.blocks;
    for (int n = 1; n <= BlockTable::kLastBlock; ++n)
        bt.block_type[n] = st.types[n];

    // The saved algorithm program the import copies into algorithm blocks.
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        if (st.types[n] != kAlgorithm)
            continue;
        const auto& params = st.params[n];
        for (int k = 1; k < BlockTable::kAlgParams && k < int(params.size()); ++k)
            bt.alg_param_saved[k] = normalizedParameterText(params[size_t(k)]);
        const auto& texts = st.texts[n];
        for (int i = 0; i < BlockTable::kAlgTexts && i < int(texts.size()); ++i)
            bt.alg_text_saved[i] = texts[size_t(i)];
    }

    ws.report_reserve = st.reserve;

    // Comments and call flags belong to the project: what the file does not
    // hold starts empty rather than left over from the previous project.
    AlgorithmData& alg = ws.alg;
    alg.alg_comments.fill(QString());
    for (auto& row : alg.call_flags)
        row.fill(0);
    for (size_t i = 0; i < st.comments.size() && i < alg.alg_comments.size(); ++i)
        alg.alg_comments[i] = st.comments[i];
    for (size_t i = 0; i < st.flags.size(); ++i)
        alg.call_flags[i % kCallFlagSteps][i / kCallFlagSteps] = st.flags[i];
}

void fillPageResult(const Workspace& ws, const QString& folder, ProjectReadResult& result)
{
    for (int p = 0; p < ScadaPages::kShownPages; ++p) {
        result.tabCaptions[p] = QStringLiteral("Страница ") + QString::number(p + 1);
        const QString& ref = ws.pages.shortRef(p);
        if (ws.pages.background_kind[p] != 1 || ref.isEmpty() || fileNameOf(ref).isEmpty())
            continue;
        result.backgroundFiles[p] = pathInFolder(folder, ref);
        // The picture's file name without its extension.
        const QString caption = backgroundCaption(ref);
        if (!caption.isEmpty())
            result.tabCaptions[p] = caption;
    }
}

} // namespace

ProjectReadResult readProjectBytes(Workspace& ws, const QByteArray& bytes, const QString& folder,
                                   Interaction& ui)
{
    ProjectReadResult result;
    result.versionCode = ws.version_code;
    if (bytes.size() > kMaxProjectBytes) {
        result.status = ProjectReadStatus::Malformed;
        result.error = QStringLiteral("the file is too large for a project file");
        return result;
    }
    // A project file is code page 1251, and its first line always holds
    // Cyrillic letters: bytes that are UTF-8 come from a text editor and would
    // be read wrongly.
    if (detectTextEncoding(bytes) == TextEncoding::Utf8) {
        result.status = ProjectReadStatus::Malformed;
        result.error = kProjectEncodingError;
        return result;
    }
    QStringDecoder dec("windows-1251");
    const QString text = dec.isValid() ? dec.decode(bytes) : QString::fromLocal8Bit(bytes);

    Staged st;
    if (!parseProject(text, ws, st, &result.error)) {
        result.status = ProjectReadStatus::Malformed;
        return result;
    }
    result.versionLine = st.version_line;
    result.commentsComplete = st.comments_complete;
    result.decimalPoint = st.decimal_point;

    applyStaged(ws, st, folder);
    result.versionCode = ws.version_code;
    result.connectTcp = ws.settings.usesTcp();
    result.netlistPath = ws.settings.netlist_path;
    fillPageResult(ws, folder, result);

    const QString& netlist = ws.settings.netlist_path;
    ImportResult imported;
    if (QFileInfo(netlist).isFile() && importNetlistFile(ws.blocks, ws.catalog, netlist, ui, &imported)) {
        result.importError = imported.errorShown;
        result.importedBlocks = imported.blocks;
        if (imported.completed) {
            restoreAfterImport(ws, st);
            ws.scheme_without_netlist = false;
            result.status = ProjectReadStatus::Ok;
        } else {
            // A table built up to the error would put the stored values on
            // the wrong blocks, and a later save would lose them.
            rebuildFromFile(ws, st);
            ws.scheme_without_netlist = true;
            result.status = ProjectReadStatus::ImportFailed;
        }
    } else {
        rebuildFromFile(ws, st);
        ws.scheme_without_netlist = true;
        result.status = ProjectReadStatus::NetlistMissing;
    }
    return result;
}

ProjectReadResult readProject(Workspace& ws, const QString& path, Interaction& ui)
{
    ProjectReadResult result;
    result.versionCode = ws.version_code;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("cannot open %1").arg(path);
        return result;
    }
    if (file.size() > kMaxProjectBytes) {
        result.status = ProjectReadStatus::Malformed;
        result.error = QStringLiteral("the file is too large for a project file");
        return result;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    return readProjectBytes(ws, bytes, QFileInfo(path).absolutePath(), ui);
}

bool loadProjectForCli(Workspace& ws, const QString& path, QString* error, Interaction* ui)
{
    HeadlessInteraction quiet;
    const ProjectReadResult r = readProject(ws, path, ui ? *ui : quiet);
    QString why;
    if (!r.loaded())
        why = r.error.isEmpty() ? QStringLiteral("cannot read %1").arg(path)
                                : QStringLiteral("%1: %2").arg(path, r.error);
    else if (r.status == ProjectReadStatus::NetlistMissing)
        why = QStringLiteral("netlist not found: %1").arg(r.netlistPath);
    else if (r.importError)
        why = QStringLiteral("the import of the netlist %1 ended with an error").arg(r.netlistPath);
    if (error)
        *error = why;
    return why.isEmpty();
}

} // namespace ostrel
