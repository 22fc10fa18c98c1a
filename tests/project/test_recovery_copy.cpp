// Copies of unsaved work: written beside a lock, found by the next start
// only when their run is gone, and read back as the project they copy.
#include "platform/headless_interaction.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "project/recovery_copy.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace ostrel;

namespace {

// The number of a process that has ended.
QByteArray goneProcessId()
{
    QProcess p;
    p.start(QStringLiteral("true"), QStringList());
    p.waitForStarted();
    const qint64 pid = p.processId();
    p.waitForFinished();
    return QByteArray::number(pid);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestRecoveryCopy : public QObject {
    Q_OBJECT
private slots:
    void ownCopyIsNotLeftBehind()
    {
        QTemporaryDir dir;
        RecoveryStore store(dir.filePath(QStringLiteral("recovery")));
        const RecoveryCopy note{{}, QStringLiteral("/p/boiler.prt"), QStringLiteral("/p"), QStringLiteral("boiler.prt"),
                                QDateTime(QDate(2026, 12, 10), QTime(14, 2))};
        QCOMPARE(store.write("bytes", note), QString());
        QVERIFY(store.hasCopy());
        QVERIFY(store.leftBehind().isEmpty());
        store.remove();
        QVERIFY(!store.hasCopy());
        QVERIFY(QDir(store.dir()).entryList(QDir::Files).isEmpty());
    }

    // A copy whose lock names a process that is gone is offered, with the
    // note it was written with; discarding it removes all its files.
    void copyOfAGoneRunIsOffered()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("recovery"));
        QVERIFY(QDir().mkpath(folder));
        writeFile(folder + QStringLiteral("/recovery-999999.prt"), "project");
        writeFile(folder + QStringLiteral("/recovery-999999.json"),
                  R"({"project": "/p/boiler.prt", "folder": "/p", "name": "boiler.prt", "saved": "2026-12-10T14:02:00"})");
        writeFile(folder + QStringLiteral("/recovery-999999.lock"),
                  goneProcessId() + "\nostrel-configurator\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        RecoveryStore store(folder);
        const QList<RecoveryCopy> found = store.leftBehind();
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0].projectPath, QStringLiteral("/p/boiler.prt"));
        QCOMPARE(found[0].question(),
                 QStringLiteral("Найдена несохранённая копия проекта boiler.prt от 10.12.2026 14:02. Восстановить?"));
        RecoveryStore::discard(found[0]);
        QVERIFY(QDir(folder).entryList(QDir::Files).isEmpty());
    }

    // The copy is the project file: read from its own folder's companions it
    // gives the project back.
    void copyReadsBackAsTheProject()
    {
        QTemporaryDir dir;
        auto ws = std::make_unique<Workspace>();
        QString error;
        const QString project = QStringLiteral(OSTREL_EXAMPLES "/boiler.prt");
        QVERIFY(loadProjectForCli(*ws, project, &error));
        ws->pages.text[0][1].text = QStringLiteral("Несохранённый текст");
        const QByteArray bytes = projectFileBytes(*ws, QLocale::c());
        RecoveryStore store(dir.filePath(QStringLiteral("recovery")));
        QCOMPARE(store.write(bytes, {{}, project, QStringLiteral(OSTREL_EXAMPLES), QStringLiteral("boiler.prt"),
                                      QDateTime::currentDateTime()}),
                 QString());
        QFile f(store.dir() + QStringLiteral("/recovery-") + QString::number(QCoreApplication::applicationPid())
                + QStringLiteral(".prt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        auto back = std::make_unique<Workspace>();
        HeadlessInteraction ui;
        const ProjectReadResult r = readProjectBytes(*back, f.readAll(), QStringLiteral(OSTREL_EXAMPLES), ui);
        QCOMPARE(int(r.status), int(ProjectReadStatus::Ok));
        QCOMPARE(back->pages.text[0][1].text, QStringLiteral("Несохранённый текст"));
        QCOMPARE(projectFileBytes(*back, QLocale::c()), bytes);
    }
};

QTEST_GUILESS_MAIN(TestRecoveryCopy)
#include "test_recovery_copy.moc"
