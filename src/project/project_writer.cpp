#include "project/project_writer.h"

#include "platform/checked_file.h"
#include "platform/interaction.h"
#include "platform/text_encoding.h"
#include "project/project_format.h"
#include "project/project_sections.h"
#include "project/page_layout.h"
#include "workspace/workspace.h"

#include <QFileInfo>

#include <array>

namespace ostrel {

using namespace project;

namespace {

const QLatin1String kCrLf("\r\n");

struct LineWriter {
    QString out;
    QString decimalPoint;
    bool withMechanisms = true;

    void end() { out += kCrLf; }
    void number(qint64 v)
    {
        appendNumber(out, v);
        end();
    }
    void i16(int16_t& v) { number(v); }
    void i32(int32_t& v) { number(v); }
    void u8(uint8_t& v) { number(v); }
    void text(const QString& s)
    {
        // A line break inside a text would shift every line after it.
        if (s.contains(u'\r') || s.contains(u'\n')) {
            QString t = s;
            t.replace(u'\r', u' ').replace(u'\n', u' ');
            out += t;
        } else {
            out += s;
        }
        end();
    }
    void text(QString& s) { text(static_cast<const QString&>(s)); }
    void fixed(const QString& s)
    {
        out += s;
        end();
    }
    void label(int page, const QString& kind, int n)
    {
        out += kPagePrefix;
        out += QString::number(page);
        out += kind;
        out += QString::number(n);
        end();
    }
    void before_control(ControlElement& c) { c.picture_file = shortenedPictureName(c.picture_file); }
    bool mechanisms() const { return withMechanisms; }
    void parameter(float v)
    {
        appendParameter(out, v, decimalPoint);
        end();
    }
};

// The picture files of the used controls as the model names them before a
// save shortens them: a full path while the picture was just chosen, "\"
// and the file name once saved.
QStringList controlPictureNames(const ScadaPages& pages)
{
    QStringList names;
    for (const auto& page : pages.control)
        for (size_t n = 1; n < page.size(); ++n)
            if (page[n].used != 0 && !fileNameOf(page[n].picture_file).isEmpty()
                && !names.contains(page[n].picture_file))
                names << page[n].picture_file;
    return names;
}

// Copies the netlist, the background pictures and the controls' own
// pictures into `folder`. A picture whose source cannot be found anywhere is
// skipped; a copy that fails while writing is listed in the result.
QStringList copyCompanions(const Workspace& ws, const QString& folder, const QStringList& controlPictures,
                           const SaveFault* fault)
{
    QStringList failed;
    const QString& netlist = ws.settings.netlist_path;
    QString netlistFolder;
    if (netlist != kNoNetlist && !fileNameOf(netlist).isEmpty()) {
        if (QFileInfo(netlist).isFile()) {
            const QString error = copyFileChecked(netlist, pathInFolder(folder, netlist), fault);
            if (!error.isEmpty())
                failed << error;
        }
        netlistFolder = QFileInfo(netlist).absolutePath();
    }
    for (int p = 0; p < ScadaPages::kShownPages; ++p) {
        const QString name = fileNameOf(ws.pages.shortRef(p));
        if (name.isEmpty())
            continue;
        // The stored full path may come from another machine; the picture
        // then sits beside the netlist of the project that was opened.
        const QString& full = ws.pages.fullPath(p);
        QString fullSlashed = full;
        fullSlashed.replace(u'\\', u'/');
        const QStringList sources{full, fullSlashed,
                                  netlistFolder.isEmpty() ? QString() : pathInFolder(netlistFolder, name)};
        const QString dest = pathInFolder(folder, name);
        for (const QString& src : sources) {
            if (src.isEmpty() || !QFileInfo(src).isFile())
                continue;
            const QString error = copyFileChecked(src, dest, fault);
            if (!error.isEmpty())
                failed << error;
            break;
        }
    }
    // A control's picture: from where it was chosen, else from beside the
    // netlist (the folder of the project that was opened).
    QStringList copied;
    for (const QString& picture : controlPictures) {
        const QString name = fileNameOf(picture);
        const QString dest = pathInFolder(folder, name);
        if (copied.contains(dest))
            continue;
        const QStringList sources{QFileInfo(picture).isAbsolute() ? picture : QString(),
                                  netlistFolder.isEmpty() ? QString() : pathInFolder(netlistFolder, name)};
        for (const QString& src : sources) {
            if (src.isEmpty() || !QFileInfo(src).isFile())
                continue;
            copied << dest;
            const QString error = copyFileChecked(src, dest, fault);
            if (!error.isEmpty())
                failed << error;
            break;
        }
    }
    return failed;
}


} // namespace

QByteArray projectFileBytes(Workspace& ws, const QLocale& locale)
{
    ws.catalog.applyVersion(ws.version_code);
    const BlockCatalog& cat = ws.catalog;
    BlockTable& bt = ws.blocks;
    const int version = ws.version_code;

    LineWriter w;
    w.out.reserve(2 * 1024 * 1024);
    w.decimalPoint = locale.decimalPoint();
    w.withMechanisms = storesMechanisms(version);

    // Sections 1..7: version line and settings.
    w.fixed(QString::number(version) + kHeaderTail);
    w.text(ws.settings.project_name);
    w.number(ws.settings.link_port);
    w.text(ws.settings.ip_address);
    w.number(ws.settings.tcp_port);
    w.number(ws.settings.controller_number);
    w.text(netlistReference(ws.settings.netlist_path));

    // Sections 8..19: the pages. A background reference is written as the
    // file name the picture is copied under, whatever folders it named.
    std::array<QString, ScadaPages::kShownPages> shortRefs;
    for (int p = 0; p < ScadaPages::kShownPages; ++p) {
        shortRefs[size_t(p)] = ws.pages.shortRef(p);
        ws.pages.shortRef(p) = shortenedPictureName(shortRefs[size_t(p)]);
    }
    visitPages(ws.pages, w);
    for (int p = 0; p < ScadaPages::kShownPages; ++p)
        ws.pages.shortRef(p) = shortRefs[size_t(p)];

    // Sections 20..22: block types and parameters.
    w.fixed(kSchemeHeader);
    for (int n = 1; n <= BlockTable::kLastBlock; ++n)
        w.number(bt.block_type[n]);
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        const int t = bt.block_type[n];
        if (t == kNoBlockType)
            continue;
        w.fixed(QString::number(n) + kBlockHeaderMid + cat.typeCode(t) + QString::number(n) + kBlockHeaderTail);
        const int count = cat.paramCount(t);
        for (int k = 0; k <= count; ++k) {
            const int idx = bt.param_base[n] + k;
            w.parameter(idx >= 0 && idx < BlockTable::kParams ? bt.ParamStore[idx] : 0.0f);
        }
    }

    // Section 23: the report reserve, once when the scheme has a report block.
    if (hasReportBlock(bt.block_type)) {
        w.number(ws.report_reserve.value);
        for (const QString& s : ws.report_reserve.texts)
            w.text(s);
    }

    // Sections 24, 25: names.
    w.fixed(kNamesHeader);
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        const int t = bt.block_type[n];
        if (!storesNames(cat, t))
            continue;
        w.fixed(kBlockHeaderMid + cat.typeCode(t) + QString::number(n) + kBlockHeaderTail);
        const int count = cat.textCount(t);
        for (int k = 0; k < count; ++k) {
            const int idx = bt.text_base[n] + k;
            w.text(idx >= 0 && idx < BlockTable::kTexts ? bt.TextStore[idx] : QString());
        }
    }

    // Section 26: comments and call flags.
    if (storesComments(version)) {
        w.fixed(kCommentsHeader);
        for (const QString& c : ws.alg.alg_comments)
            w.text(c);
        for (int b = 0; b < 2; ++b)
            for (int s = 0; s < kCallFlagSteps; ++s)
                w.number(ws.alg.call_flags[s][b]);
    }
    return encodeCp1251(w.out);
}

ProjectWriteResult writeProject(Workspace& ws, const QString& path, Interaction& ui,
                                const ProjectWriteOptions& options)
{
    ProjectWriteResult result;
    // The bytes shorten the control picture names: where they are comes first.
    const QStringList controlPictures = controlPictureNames(ws.pages);
    const QByteArray bytes = projectFileBytes(ws, options.locale);
    result.error = saveFileChecked(path, bytes, options.fault);
    if (!result.error.isEmpty()) {
        ui.message(kFileLockedMessage, {}, MessageIcon::Error);
        return result;
    }
    result.written = true;
    if (options.copyCompanions) {
        result.failedCopies = copyCompanions(ws, QFileInfo(path).absolutePath(), controlPictures, options.fault);
        if (!result.failedCopies.isEmpty())
            ui.message(kCopyFailedMessage + QLatin1Char('\n') + result.failedCopies.join(QLatin1Char('\n')), {},
                       MessageIcon::Error);
    }
    return result;
}

} // namespace ostrel
