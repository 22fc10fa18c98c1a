#pragma once
// Runs ostrel-cli (OSTREL_CLI, set by each test target) while the event loop
// goes on, so that a peer in the test process can read what it sends.
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

namespace ostrel::testing {

struct CliRun {
    int exitCode = -1;
    QByteArray out, err;
    QString outText() const { return QString::fromUtf8(out); }
    QString errText() const { return QString::fromLocal8Bit(err); }
};

inline CliRun runCli(const QStringList& args)
{
    QProcess p;
    QSignalSpy done(&p, &QProcess::finished);
    p.start(QStringLiteral(OSTREL_CLI), args);
    CliRun r;
    if (!p.waitForStarted(10000))
        return r;
    if (!QTest::qWaitFor([&] { return done.count() > 0; }, 60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace ostrel::testing
