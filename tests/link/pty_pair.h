#pragma once
// A connected pseudo-terminal pair made by socat, for serial-port tests: the
// program under test opens devicePath(), the test reads from peerPath().
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace ostrel::testing {

class PtyPair {
public:
    static bool socatAvailable() { return !QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty(); }

    // Starts socat and waits (event loop, no sleep) until both ends exist.
    bool start()
    {
        if (!dir_.isValid() || !socatAvailable())
            return false;
        proc_.setProgram(QStandardPaths::findExecutable(QStringLiteral("socat")));
        proc_.setArguments({QStringLiteral("pty,raw,echo=0,link=") + devicePath(),
                            QStringLiteral("pty,raw,echo=0,link=") + peerPath()});
        proc_.start();
        if (!proc_.waitForStarted(5000))
            return false;
        return QTest::qWaitFor([this] { return QFileInfo::exists(devicePath()) && QFileInfo::exists(peerPath()); },
                               10000);
    }

    ~PtyPair() { stop(); }

    // Ends socat: both terminals go away, as an unplugged adapter would.
    void stop()
    {
        if (proc_.state() != QProcess::NotRunning) {
            proc_.terminate();
            if (!proc_.waitForFinished(3000))
                proc_.kill();
            proc_.waitForFinished(3000);
        }
    }

    QString devicePath() const { return dir_.filePath(QStringLiteral("device")); }
    QString peerPath() const { return dir_.filePath(QStringLiteral("peer")); }

private:
    QTemporaryDir dir_;
    QProcess proc_;
};

} // namespace ostrel::testing
