// Fuzzes the project file reader. The input either is the file itself (first
// byte even) or edits a project the program writes at start-up (first byte
// odd): the project is cut after a number of lines and single lines are
// replaced, so the reader is driven deep into every section. The projects
// are, per version 5, 3, 0 and 1, a minimal one (a new project) and a filled
// one (small scheme, elements on some pages, an algorithm program). A netlist
// beside the file makes the import and the value restore run too. Whatever
// is read is saved again.
//
// Seeds in fuzz/seeds/project are such edit scripts, a few bytes each; a
// whole project as a seed (about 300 KB) leaves the fuzzer flipping bytes in
// the page records.
// replaced, so the reader is driven deep into every section. A netlist beside
// the file makes the import and the value restore run too. Whatever is read
// is saved again.
#include "../tests/project/project_fixture.h"
#include "platform/headless_interaction.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "workspace/workspace.h"

#include <QByteArrayList>
#include <QDir>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

struct Templates {
    QString folder;
    // 0..3: minimal projects of versions 5, 3, 0, 1; 4..7: filled ones.
    std::array<QByteArrayList, 8> lines;
};

const Templates& templates()
{
    static const Templates t = [] {
        Templates out;
        out.folder = QDir::temp().filePath(QStringLiteral("ostrel-fuzz-project"));
        QDir().mkpath(out.folder);
        const uint8_t versions[4] = {5, 3, 0, 1};
        for (int i = 0; i < 4; ++i) {
            auto minimal = std::make_unique<ostrel::Workspace>();
            minimal->selectVersion(versions[i]);
            out.lines[size_t(i)] = ostrel::projectFileBytes(*minimal, QLocale::c()).split('\n');

            auto ws = std::make_unique<ostrel::Workspace>();
            ws->selectVersion(versions[i]);
            fixture::importScheme(*ws, out.folder + QStringLiteral("/scheme.net"), fixture::smallScheme(true));
            fixture::fillPages(ws->pages);
            fixture::fillAlgorithm(*ws, 14, i);
            ws->report_reserve.value = 5;
            out.lines[size_t(4 + i)] = ostrel::projectFileBytes(*ws, QLocale::c()).split('\n');
        }
        return out;
    }();
    return t;
}

uint32_t take(const uint8_t*& p, const uint8_t* end, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes && p < end; ++i)
        v = (v << 8) | *p++;
    return v;
}

QByteArray buildInput(const uint8_t* data, size_t size)
{
    const uint8_t* p = data;
    const uint8_t* end = data + size;
    const uint8_t mode = uint8_t(take(p, end, 1));
    if ((mode & 1) == 0)
        return QByteArray(reinterpret_cast<const char*>(p), qsizetype(end - p));
    QByteArrayList lines = templates().lines[(mode >> 1) & 7];
    // Keep a number of lines (all when the count exceeds them).
    const uint32_t keep = take(p, end, 3);
    if (keep < uint32_t(lines.size()))
        lines = lines.mid(0, qsizetype(keep));
    // Replace lines: index (3 bytes), length (1 byte), bytes.
    while (end - p >= 4 && !lines.isEmpty()) {
        const uint32_t index = take(p, end, 3) % uint32_t(lines.size());
        const uint32_t len = take(p, end, 1);
        const qsizetype n = std::min<qsizetype>(len, end - p);
        lines[qsizetype(index)] = QByteArray(reinterpret_cast<const char*>(p), n);
        p += n;
    }
    return lines.join('\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = buildInput(data, size);
    auto ws = std::make_unique<ostrel::Workspace>();
    ostrel::HeadlessInteraction ui;
    const ostrel::ProjectReadResult r = ostrel::readProjectBytes(*ws, input, templates().folder, ui);
    if (r.loaded()) {
        const QByteArray again = ostrel::projectFileBytes(*ws, QLocale::c());
        if (again.isEmpty())
            std::abort();
        for (int n = 0; n < ostrel::BlockTable::kBlocks; ++n)
            if (ws->blocks.block_type[n] < 0 || ws->blocks.block_type[n] > 50)
                std::abort();
    }
    return 0;
}
