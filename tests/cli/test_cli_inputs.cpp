// What every ostrel-cli command does with its inputs and its standard error:
// an input that is not a regular file is refused at once, a project cut
// inside its comment section gives a warning line, and a command that
// succeeds writes nothing to standard error (Qt's own notes included).
#include "platform/write_faults.h"
#include "support/special_files.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);

struct Run {
    int code = -1; // -1: crashed or did not finish
    QByteArray out, err;
};

// Runs the tool without XDG_RUNTIME_DIR, the setting whose absence Qt notes
// on standard error. A tool that hangs is killed and counts as failed.
Run cli(const QStringList& args, const QString& folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral(OSTREL_CLI), args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

// The example project (project file, netlist, background) in `folder`.
bool copyExample(const QString& folder)
{
    for (const char* name : {"boiler.prt", "boiler.net", "boiler.gif", "boiler_algorithm.net"})
        if (!QFile::copy(kExamples + u'/' + QLatin1String(name), folder + u'/' + QLatin1String(name)))
            return false;
    return true;
}

// Puts the output file named "@/..." into `folder`; its path, if any.
QString withOutputFolder(QStringList& args, const QString& folder)
{
    QString written;
    for (QString& a : args)
        if (a.startsWith(u'@'))
            written = a.replace(0, 1, folder);
    return written;
}

} // namespace

class CliInputsTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void initTestCase() { QVERIFY(copyExample(tmp.path())); }

    // A FIFO, a folder or a device where an input file is expected: status
    // 2 and one line at once, for every input of every command. "@" stands
    // for the input.
    void nonRegularInputRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("args");
        const QList<QStringList> forms{
            {"scheme", "@.net"},
            {"algorithm", "@.net", "boiler_algorithm.net"},
            {"algorithm", "boiler.net", "@.net"},
            {"write-scheme", "@.net", "--dump", "out.bin"},
            {"write-scheme", "@.prt", "--dump", "out.bin"},
            {"resave", "@.prt", "out.prt"},
            {"write-pages", "@.prt", "--page", "1", "--dump", "out.bin"},
            {"render-page", "@.prt", "--page", "1", "--png", "out.png"},
        };
        for (const char* kind : {"fifo", "folder", "device"})
            for (const QStringList& form : forms)
                QTest::addRow("%s, %s", kind, qPrintable(form.join(u' '))) << QString::fromLatin1(kind) << form;
    }
    void nonRegularInputRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        QVERIFY(copyExample(dir.path()));
        for (QString& a : args) {
            if (!a.startsWith(u'@'))
                continue;
            if (kind == QLatin1String("device")) {
                a = QStringLiteral("/dev/zero");
                continue;
            }
            a = kind + a.mid(1);
            const QByteArray path = QFile::encodeName(dir.filePath(a));
            if (kind == QLatin1String("fifo"))
                QCOMPARE(::mkfifo(path.constData(), 0600), 0);
            else
                QVERIFY(QDir(dir.path()).mkdir(a));
        }
        const Run r = cli(args, dir.path());
        QCOMPARE(r.code, 2);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.contains("not a regular file"), r.err.constData());
        for (const char* output : {"out.bin", "out.prt", "out.png"})
            QVERIFY(!QFile::exists(dir.filePath(QLatin1String(output))));
    }

    // A FIFO, a folder or a device where an output file is named: status 2
    // and one line before anything is done; the node stays what it was, and
    // resave copies no companion into its folder. "@" stands for the output.
    void nonRegularOutputRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("args");
        const QList<QStringList> forms{
            {"write-scheme", "boiler.net", "--dump", "@"},
            {"write-pages", "boiler.prt", "--page", "1", "--dump", "@"},
            {"render-page", "boiler.prt", "--page", "1", "--png", "@"},
            {"resave", "boiler.prt", "@"},
        };
        for (const char* kind : {"fifo", "folder", "device"})
            for (const QStringList& form : forms)
                QTest::addRow("%s, %s", kind, qPrintable(form.first())) << QString::fromLatin1(kind) << form;
    }
    void nonRegularOutputRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, args);
        QTemporaryDir out;
        const QString node = out.filePath(QStringLiteral("target"));
        if (!ostrel::testing::makeSpecialFile(kind, node))
            QSKIP("cannot make that kind of node here");
        args.replaceInStrings(QStringLiteral("@"), node);
        const Run r = cli(args, tmp.path());
        QCOMPARE(r.code, 2);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.contains("not a regular file"), r.err.constData());
        QVERIFY(ostrel::testing::isSpecialFile(kind, node));
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{QStringLiteral("target")});
    }

    // An output on a full disk: status 1 and one line that names the file
    // and the cause; nothing is left behind.
    void fullDiskNamesCause_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("write-scheme") << QStringList{"write-scheme", "boiler.net", "--dump", "@"};
        QTest::newRow("write-pages") << QStringList{"write-pages", "boiler.prt", "--page", "1", "--dump", "@"};
        QTest::newRow("render-page") << QStringList{"render-page", "boiler.prt", "--page", "1", "--png", "@"};
        QTest::newRow("resave") << QStringList{"resave", "boiler.prt", "@"};
    }
    void fullDiskNamesCause()
    {
        QFETCH(QStringList, args);
        ostrel::testing::FullTmpfs disk(1024);
        if (!disk.mounted())
            QSKIP("cannot mount a tmpfs here");
        const QString target = disk.path(QStringLiteral("target"));
        args.replaceInStrings(QStringLiteral("@"), target);
        const Run r = cli(args, tmp.path());
        QCOMPARE(r.code, 1);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(QString::fromLocal8Bit(r.err),
                 QStringLiteral("cannot write %1: No space left on device\n").arg(target));
        QVERIFY(!QFile::exists(target));
    }

    // Commands that succeed leave standard error empty, without a runtime
    // folder for Qt as well.
    void successLeavesStderrEmpty_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("scheme") << QStringList{"scheme", "boiler.net"};
        QTest::newRow("algorithm") << QStringList{"algorithm", "boiler.net", "boiler_algorithm.net"};
        QTest::newRow("write-scheme, netlist") << QStringList{"write-scheme", "boiler.net", "--dump", "@/n.bin"};
        QTest::newRow("write-scheme, project") << QStringList{"write-scheme", "boiler.prt", "--dump", "@/p.bin"};
        QTest::newRow("resave") << QStringList{"resave", "boiler.prt", "@/again.prt"};
        QTest::newRow("write-pages") << QStringList{"write-pages", "boiler.prt", "--all", "--dump", "@/pages.bin"};
        QTest::newRow("render-page") << QStringList{"render-page", "boiler.prt", "--page", "1", "--png", "@/p1.png"};
    }
    void successLeavesStderrEmpty()
    {
        QFETCH(QStringList, args);
        QTemporaryDir out;
        const QString written = withOutputFolder(args, out.path());
        const Run r = cli(args, tmp.path());
        QCOMPARE(r.code, 0);
        QVERIFY(written.isEmpty() || QFile::exists(written));
        QVERIFY2(r.err.isEmpty(), r.err.constData());
    }

    // A project whose netlist import stops at an error (a component it
    // cannot take, or more items than the netlist table holds): every
    // command that opens it passes the import's message on first. Those that
    // use the scheme write nothing (status 1); the page commands go on with a
    // warning. "scheme" prints what was built and exits 1.
    void importErrorReachesEveryCommand_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("lastLine");
        const QList<std::pair<const char*, QString>> faults{
            {"component", QStringLiteral("Ошибка netLIST!!! Выход блока №123")},
            {"10001 items", QStringLiteral("Ошибка считывания файла!!!")}};
        for (const auto& [fault, message] : faults) {
            const QString f = QString::fromLatin1(fault);
            QTest::addRow("%s, resave", fault) << f << QStringList{"resave", "broken.prt", "@/again.prt"} << 1
                                               << QByteArray("nothing was written");
            QTest::addRow("%s, write-scheme", fault) << f << QStringList{"write-scheme", "broken.prt", "--dump", "@/p.bin"}
                                                     << 1 << QByteArray("nothing was written");
            QTest::addRow("%s, write-scheme netlist", fault)
                << f << QStringList{"write-scheme", "broken.net", "--dump", "@/n.bin"} << 1 << QByteArray("nothing was written");
            QTest::addRow("%s, scheme", fault) << f << QStringList{"scheme", "broken.net"} << 1 << message.toLocal8Bit();
            QTest::addRow("%s, write-pages", fault)
                << f << QStringList{"write-pages", "broken.prt", "--page", "1", "--dump", "@/p1.bin"} << 0
                << QByteArray("the pages do not depend on it");
            QTest::addRow("%s, render-page", fault)
                << f << QStringList{"render-page", "broken.prt", "--page", "1", "--png", "@/p1.png"} << 0
                << QByteArray("the pages do not depend on it");
        }
    }
    void importErrorReachesEveryCommand()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, lastLine);
        QTemporaryDir dir;
        QVERIFY(copyExample(dir.path()));
        QFile netlist(dir.filePath(QStringLiteral("boiler.net")));
        QVERIFY(netlist.open(QIODevice::ReadOnly));
        QByteArray bytes = netlist.readAll();
        netlist.close();
        QString message;
        if (fault == QLatin1String("component")) {
            bytes.insert(bytes.size() - 3,
                         "  (compInst \"U123\"\r\n    (compRef \"MUL\")\r\n    (originalName \"MUL\")\r\n  )\r\n");
            message = QStringLiteral("Ошибка netLIST!!! Выход блока №123");
        } else {
            // The items past the table would be the nets of the last blocks.
            const qsizetype nets = bytes.indexOf("(net ");
            QVERIFY(nets > 0);
            QByteArray filler;
            for (int k = 0; k < 10001; ++k)
                filler += "  (x)\r\n";
            bytes.insert(bytes.lastIndexOf('\n', nets) + 1, filler);
            message = QStringLiteral("Ошибка считывания файла!!!");
        }
        QFile broken(dir.filePath(QStringLiteral("broken.net")));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write(bytes) == bytes.size());
        broken.close();
        QFile project(dir.filePath(QStringLiteral("boiler.prt")));
        QVERIFY(project.open(QIODevice::ReadOnly));
        QByteArray prt = project.readAll();
        prt.replace("\\boiler.net\r\n", "\\broken.net\r\n");
        QFile brokenProject(dir.filePath(QStringLiteral("broken.prt")));
        QVERIFY(brokenProject.open(QIODevice::WriteOnly) && brokenProject.write(prt) == prt.size());
        brokenProject.close();

        QTemporaryDir out;
        const QString written = withOutputFolder(args, out.path());
        const Run r = cli(args, dir.path());
        QCOMPARE(r.code, exitCode);
        if (!written.isEmpty())
            QCOMPARE(QFile::exists(written), exitCode == 0);
        const QList<QByteArray> lines = r.err.trimmed().split('\n');
        QCOMPARE(lines.size(), args.first() == QLatin1String("scheme") ? 1 : 2);
        QCOMPARE(QString::fromLocal8Bit(lines[0]), message);
        QVERIFY2(lines.last().endsWith(lastLine), lines.last().constData());
    }

    // A project file cut inside its comment section is read, as the program
    // reads it; the command says so in one warning line and its status is
    // the one it would have had.
    void commentSectionCutShort_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("resave") << QStringList{"resave", "cut.prt", "@/again.prt"};
        QTest::newRow("write-scheme") << QStringList{"write-scheme", "cut.prt", "--dump", "@/p.bin"};
        QTest::newRow("write-pages") << QStringList{"write-pages", "cut.prt", "--page", "2", "--dump", "@/p2.bin"};
        QTest::newRow("render-page") << QStringList{"render-page", "cut.prt", "--page", "1", "--png", "@/p1.png"};
    }
    void commentSectionCutShort()
    {
        QFETCH(QStringList, args);
        QFile full(tmp.filePath(QStringLiteral("boiler.prt")));
        QVERIFY(full.open(QIODevice::ReadOnly));
        const QByteArray bytes = full.readAll();
        // The comment header is followed by 1409 comments and 256 call marks;
        // the file ends 100 lines before its end, in the middle of a line.
        const qsizetype comments = bytes.indexOf("*************** \xca\xee\xec\xe5\xed\xf2\xe0\xf0\xe8\xe8");
        QVERIFY(comments > 0);
        qsizetype cut = bytes.size();
        for (int lines = 0; lines < 100; ++lines)
            cut = bytes.lastIndexOf('\n', cut - 1);
        QVERIFY(cut > comments);
        QFile cutFile(tmp.filePath(QStringLiteral("cut.prt")));
        QVERIFY(cutFile.open(QIODevice::WriteOnly));
        QVERIFY(cutFile.write(bytes.left(cut - 3)) == cut - 3);
        cutFile.close();

        QTemporaryDir out;
        const QString written = withOutputFolder(args, out.path());
        const Run r = cli(args, tmp.path());
        QCOMPARE(r.code, 0);
        QVERIFY(QFile::exists(written));
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.startsWith("warning: ") && r.err.contains("comment section"), r.err.constData());
    }
};

QTEST_GUILESS_MAIN(CliInputsTest)
#include "test_cli_inputs.moc"
