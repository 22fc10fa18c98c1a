// A plant of 30 controllers written over TCP, the scheme and one page each,
// to one ostrel-panel standing for the plant on 127.0.0.1 (--tcp A-B): the
// wall time of the whole run against the slowest single write, and the CPU
// time of the writer (ostrel-cli write-plant, its process alone) while the
// writes wait on the protocol's pacing.
//   bench_plant_write [CONTROLLERS]
// Each project's pages 2..8 are journalled as written, so "changed" writes
// the scheme and page 1 (what a commissioning change of one page sends).
#include "link/sequences.h"
#include "link/write_journal.h"
#include "platform/headless_interaction.h"
#include "project/project_journal.h"
#include "project/project_reader.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "wire/page_encoder.h"
#include "wire/transfer_state.h"
#include "workspace/workspace.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ostrel;

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);

struct ChildRun {
    int status = -1;
    double wallS = 0;
    double cpuS = 0; // user + system of the child alone
};

// Runs a program to its end; its CPU time from wait4.
ChildRun runChild(const QString& program, const QStringList& args, const QString& stdoutFile)
{
    std::vector<QByteArray> storage{program.toLocal8Bit()};
    for (const QString& a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const QByteArray out = stdoutFile.toLocal8Bit();
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        if (FILE* f = std::freopen(out.constData(), "w", stdout); !f)
            _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    ChildRun r;
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return r;
    r.wallS = double(clock.nsecsElapsed()) / 1e9;
    r.cpuS = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The example project in `folder`, with pages 2..8 journalled as written
// to `link`.
bool prepareProject(const QString& folder, const QString& link)
{
    QDir().mkpath(folder);
    for (const char* f : {"boiler.prt", "boiler.net", "boiler.gif"})
        if (!QFile::copy(kExamples + u'/' + QLatin1String(f), folder + u'/' + QLatin1String(f)))
            return false;
    const QString project = folder + QStringLiteral("/boiler.prt");
    auto ws = std::make_unique<Workspace>();
    HeadlessInteraction ui;
    if (readProject(*ws, project, ui).status != ProjectReadStatus::Ok)
        return false;
    ElementPictures pictures;
    PagePainter painter(pictures);
    auto ts = std::make_unique<TransferState>();
    for (int p = 1; p < 8; ++p) {
        if (!preparePage(painter, ws->pages, p, ws->version_code, folder, *ts).ok)
            return false;
        const QByteArray bytes = pageWireStream(*ts, uint8_t(ws->settings.controller_number), p);
        if (!recordWrite(journalPathFor(project), journalRecord(*ws, p, bytes, link)).isEmpty())
            return false;
    }
    return true;
}

// `count` free ports in a row.
int freePorts(int count)
{
    for (int base = 42000 + int(QCoreApplication::applicationPid() % 500) * 40; base < 64000; base += count) {
        bool free = true;
        std::vector<std::unique_ptr<QTcpServer>> probes;
        for (int k = 0; k < count && free; ++k) {
            probes.push_back(std::make_unique<QTcpServer>());
            free = probes.back()->listen(QHostAddress::Any, quint16(base + k));
        }
        if (free)
            return base;
    }
    return 0;
}

QByteArray plantJson(const QString& dir, int first, int count, int base)
{
    QJsonArray list;
    for (int i = first; i < first + count; ++i) {
        QJsonObject c;
        c.insert(QStringLiteral("name"), QStringLiteral("Котёл %1").arg(i + 1));
        c.insert(QStringLiteral("project"), QStringLiteral("%1/k%2/boiler.prt").arg(dir).arg(i + 1));
        c.insert(QStringLiteral("tcp"), QStringLiteral("127.0.0.1:%1").arg(base + i));
        c.insert(QStringLiteral("write"), QStringLiteral("changed"));
        list.append(c);
    }
    QJsonObject top;
    top.insert(QStringLiteral("controllers"), list);
    return QJsonDocument(top).toJson();
}

double slowest(const QString& report)
{
    QFile f(report);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    double s = 0;
    for (const QJsonValue& v : QJsonDocument::fromJson(f.readAll()).object().value(QLatin1String("controllers")).toArray())
        s = std::max(s, v.toObject().value(QLatin1String("seconds")).toDouble());
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    QTemporaryDir tmp;
    const int base = freePorts(n + 1);
    if (!tmp.isValid() || !base) {
        std::fprintf(stderr, "no folder or no %d free ports\n", n + 1);
        return 1;
    }
    // Controller n (the extra one) is the single write.
    for (int i = 0; i <= n; ++i)
        if (!prepareProject(tmp.filePath(QStringLiteral("k%1").arg(i + 1)), QStringLiteral("127.0.0.1:%1").arg(base + i))) {
            std::fprintf(stderr, "cannot prepare project %d\n", i + 1);
            return 1;
        }
    writeFile(tmp.filePath(QStringLiteral("plant.json")), plantJson(tmp.path(), 0, n, base));
    writeFile(tmp.filePath(QStringLiteral("single.json")), plantJson(tmp.path(), n, 1, base));

    QProcess panel;
    panel.start(QStringLiteral(OSTREL_PANEL), {QStringLiteral("--tcp"), QStringLiteral("%1-%2").arg(base).arg(base + n),
                                               QStringLiteral("--headless"), QStringLiteral("--count"),
                                               QStringLiteral("2"), QStringLiteral("--out"), tmp.filePath(QStringLiteral("panels"))});
    if (!panel.waitForStarted(10000) || !panel.waitForReadyRead(10000)) {
        std::fprintf(stderr, "ostrel-panel did not start\n");
        return 1;
    }

    const QString singleReport = tmp.filePath(QStringLiteral("single-report.json"));
    const ChildRun single = runChild(QStringLiteral(OSTREL_CLI),
                                     {QStringLiteral("write-plant"), tmp.filePath(QStringLiteral("single.json")),
                                      QStringLiteral("--report"), singleReport},
                                     tmp.filePath(QStringLiteral("single.txt")));
    const QString report = tmp.filePath(QStringLiteral("report.json"));
    const ChildRun plant = runChild(QStringLiteral(OSTREL_CLI),
                                    {QStringLiteral("write-plant"), tmp.filePath(QStringLiteral("plant.json")),
                                     QStringLiteral("--report"), report},
                                    tmp.filePath(QStringLiteral("plant.txt")));
    const bool panelDone = panel.waitForFinished(30000);
    const double singleWrite = slowest(singleReport);
    const double slowestInPlant = slowest(report);

    std::printf("bench_plant_write: %d controllers over TCP to ostrel-panel --tcp %d-%d, scheme + page 1 each\n", n,
                base, base + n - 1);
    std::printf("  single write (1 controller):       %7.2f s wall, its write %7.2f s, CPU %5.2f s (status %d)\n",
                single.wallS, singleWrite, single.cpuS, single.status);
    std::printf("  plant write  (%2d controllers):     %7.2f s wall, slowest write %7.2f s, CPU %5.2f s (status %d)\n", n,
                plant.wallS, slowestInPlant, plant.cpuS, plant.status);
    const double ratio = singleWrite > 0 ? plant.wallS / singleWrite : 0;
    std::printf("  wall / single write:               %7.3f  (target <= 1.10)  %s\n", ratio,
                ratio > 0 && ratio <= 1.10 ? "ok" : "MISSED");
    const double cpu = plant.wallS > 0 ? 100.0 * plant.cpuS / plant.wallS : 0;
    std::printf("  writer CPU / wall (whole run):     %7.2f %% of one core  (target < 5 %%)  %s\n", cpu,
                cpu < 5.0 ? "ok" : "MISSED");
    std::printf("  panel: %s, status %d\n", panelDone ? "every port got its 2 writes" : "still waiting", panel.exitCode());
    if (!panelDone)
        panel.kill();
    return plant.status == 0 && single.status == 0 && ratio <= 1.10 && cpu < 5.0 ? 0 : 1;
}
