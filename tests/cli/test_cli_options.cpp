// Argument errors of every command, each told by exactly one line (a usage
// text may span two) and exit status 2, before any file is read or written.
// Relative names are looked up in an empty folder.
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCliOptions : public QObject {
    Q_OBJECT

private slots:
    void argumentErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        const QHash<QString, QString> usage{
            {QStringLiteral("write-scheme"), QStringLiteral("usage: ostrel-cli write-scheme (NETLIST.net|PROJECT.prt) (--tcp HOST:PORT | --serial DEVICE | --dump FILE)\n"
                                                            "                  [--controller 1..8] [--version 5|3|0|1] [--strict] [--no-journal]")},
            {QStringLiteral("write-pages"), QStringLiteral("usage: ostrel-cli write-pages PROJECT.prt (--page 1..8 | --all)\n"
                                                           "                  (--tcp HOST:PORT | --serial DEVICE | --dump FILE) [--controller 1..8]\n"
                                                           "                  [--strict] [--no-journal]")},
            {QStringLiteral("render-page"), QStringLiteral("usage: ostrel-cli render-page PROJECT.prt --page 1..8 --png OUT.png [--quantised | --panel [--values FILE.json] [--clock YYYY-MM-DDTHH:MM]]")},
            {QStringLiteral("scheme"), QStringLiteral("usage: ostrel-cli scheme FILE.net [--version 5|3|0|1]")},
            {QStringLiteral("algorithm"), QStringLiteral("usage: ostrel-cli algorithm SCHEME.net DRAWING.net [--block N]")},
            {QStringLiteral("resave"), QStringLiteral("usage: ostrel-cli resave IN.prt OUT.prt")},
        };
        QTest::newRow("write-scheme") << QStringList{"write-scheme"} << usage.value("write-scheme");
        QTest::newRow("write-scheme in.net --dump") << QStringList{"write-scheme", "in.net", "--dump"} << QStringLiteral("--dump needs a value");
        QTest::newRow("write-scheme in.net --tcp") << QStringList{"write-scheme", "in.net", "--tcp"} << QStringLiteral("--tcp needs a value");
        QTest::newRow("write-scheme in.net --serial") << QStringList{"write-scheme", "in.net", "--serial"} << QStringLiteral("--serial needs a value");
        QTest::newRow("write-scheme in.net --controller") << QStringList{"write-scheme", "in.net", "--controller"} << QStringLiteral("--controller needs a value");
        QTest::newRow("write-scheme in.net --version") << QStringList{"write-scheme", "in.net", "--version"} << QStringLiteral("--version needs a value");
        QTest::newRow("write-scheme in.net --tcp :5") << QStringList{"write-scheme", "in.net", "--tcp", ":5"} << QStringLiteral("--tcp expects HOST:PORT");
        QTest::newRow("write-scheme in.net --tcp h:0") << QStringList{"write-scheme", "in.net", "--tcp", "h:0"} << QStringLiteral("--tcp expects HOST:PORT");
        QTest::newRow("write-scheme in.net --tcp h:65536") << QStringList{"write-scheme", "in.net", "--tcp", "h:65536"} << QStringLiteral("--tcp expects HOST:PORT");
        QTest::newRow("write-scheme in.net --dump x --controller x") << QStringList{"write-scheme", "in.net", "--dump", "x", "--controller", "x"} << QStringLiteral("--controller expects 1..8");
        QTest::newRow("write-scheme in.net --dump x --controller 0") << QStringList{"write-scheme", "in.net", "--dump", "x", "--controller", "0"} << QStringLiteral("--controller expects 1..8");
        QTest::newRow("write-scheme in.net --dump x --version 7") << QStringList{"write-scheme", "in.net", "--dump", "x", "--version", "7"} << QStringLiteral("--version expects 5, 3, 0 or 1");
        QTest::newRow("write-scheme in.net --dump x --frobnicate") << QStringList{"write-scheme", "in.net", "--dump", "x", "--frobnicate"} << QStringLiteral("unexpected argument: --frobnicate");
        QTest::newRow("write-scheme a.net b.net --dump x") << QStringList{"write-scheme", "a.net", "b.net", "--dump", "x"} << QStringLiteral("unexpected argument: b.net");
        QTest::newRow("write-scheme in.net --dump x --dump y") << QStringList{"write-scheme", "in.net", "--dump", "x", "--dump", "y"} << usage.value("write-scheme");
        QTest::newRow("write-scheme in.net --dump x --page 1") << QStringList{"write-scheme", "in.net", "--dump", "x", "--page", "1"} << QStringLiteral("unexpected argument: --page");
        QTest::newRow("write-scheme /nonexistent/x.net --dump x --controller 3 --version 1") << QStringList{"write-scheme", "/nonexistent/x.net", "--dump", "x", "--controller", "3", "--version", "1"} << QStringLiteral("cannot open /nonexistent/x.net: no such file");
        QTest::newRow("write-scheme /nonexistent/x.prt --tcp h:9 --controller 8") << QStringList{"write-scheme", "/nonexistent/x.prt", "--tcp", "h:9", "--controller", "8"} << QStringLiteral("cannot open /nonexistent/x.prt: no such file");

        QTest::newRow("write-pages") << QStringList{"write-pages"} << usage.value("write-pages");
        QTest::newRow("write-pages p.prt --page") << QStringList{"write-pages", "p.prt", "--page"} << QStringLiteral("--page needs a value");
        QTest::newRow("write-pages p.prt --page x --dump d") << QStringList{"write-pages", "p.prt", "--page", "x", "--dump", "d"} << QStringLiteral("--page expects 1..8");
        QTest::newRow("write-pages p.prt --all --all --dump d") << QStringList{"write-pages", "p.prt", "--all", "--all", "--dump", "d"} << usage.value("write-pages");
        QTest::newRow("write-pages p.prt --page 1 --page 2 --dump d") << QStringList{"write-pages", "p.prt", "--page", "1", "--page", "2", "--dump", "d"} << usage.value("write-pages");
        QTest::newRow("write-pages p.prt --all --quantised --dump d") << QStringList{"write-pages", "p.prt", "--all", "--quantised", "--dump", "d"} << QStringLiteral("unexpected argument: --quantised");
        QTest::newRow("write-pages p.prt --all --version 5 --dump d") << QStringList{"write-pages", "p.prt", "--all", "--version", "5", "--dump", "d"} << QStringLiteral("unexpected argument: --version");
        QTest::newRow("write-pages p.prt --all --tcp h:1 --serial d") << QStringList{"write-pages", "p.prt", "--all", "--tcp", "h:1", "--serial", "d"} << usage.value("write-pages");
        QTest::newRow("write-pages p.prt --all --dump d --controller 9") << QStringList{"write-pages", "p.prt", "--all", "--dump", "d", "--controller", "9"} << QStringLiteral("--controller expects 1..8");
        QTest::newRow("write-pages p.prt --all --dump") << QStringList{"write-pages", "p.prt", "--all", "--dump"} << QStringLiteral("--dump needs a value");
        QTest::newRow("write-pages p.prt --all --tcp nohost") << QStringList{"write-pages", "p.prt", "--all", "--tcp", "nohost"} << QStringLiteral("--tcp expects HOST:PORT");
        QTest::newRow("write-pages p.prt q.prt --all --dump d") << QStringList{"write-pages", "p.prt", "q.prt", "--all", "--dump", "d"} << QStringLiteral("unexpected argument: q.prt");
        QTest::newRow("write-pages --all --dump d") << QStringList{"write-pages", "--all", "--dump", "d"} << usage.value("write-pages");
        QTest::newRow("write-pages /nonexistent/x.prt --all --dump d --controller 2") << QStringList{"write-pages", "/nonexistent/x.prt", "--all", "--dump", "d", "--controller", "2"} << QStringLiteral("cannot open /nonexistent/x.prt: no such file");
        QTest::newRow("write-pages /nonexistent/x.prt --page 8 --serial /dev/null") << QStringList{"write-pages", "/nonexistent/x.prt", "--page", "8", "--serial", "/dev/null"} << QStringLiteral("cannot open /nonexistent/x.prt: no such file");

        QTest::newRow("render-page") << QStringList{"render-page"} << usage.value("render-page");
        QTest::newRow("render-page p.prt --page") << QStringList{"render-page", "p.prt", "--page"} << QStringLiteral("--page needs a value");
        QTest::newRow("render-page p.prt --page 1 --png") << QStringList{"render-page", "p.prt", "--page", "1", "--png"} << QStringLiteral("--png needs a value");
        QTest::newRow("render-page p.prt --page 0 --png o.png") << QStringList{"render-page", "p.prt", "--page", "0", "--png", "o.png"} << QStringLiteral("--page expects 1..8");
        QTest::newRow("render-page p.prt --page 1 --png o.png --dump x") << QStringList{"render-page", "p.prt", "--page", "1", "--png", "o.png", "--dump", "x"} << QStringLiteral("unexpected argument: --dump");
        QTest::newRow("render-page p.prt q.prt --page 1 --png o.png") << QStringList{"render-page", "p.prt", "q.prt", "--page", "1", "--png", "o.png"} << QStringLiteral("unexpected argument: q.prt");
        QTest::newRow("render-page p.prt --page 1") << QStringList{"render-page", "p.prt", "--page", "1"} << usage.value("render-page");
        QTest::newRow("render-page p.prt --png o.png") << QStringList{"render-page", "p.prt", "--png", "o.png"} << usage.value("render-page");
        QTest::newRow("render-page p.prt --page 1 --png o.png --panel --quantised") << QStringList{"render-page", "p.prt", "--page", "1", "--png", "o.png", "--panel", "--quantised"} << usage.value("render-page");
        QTest::newRow("render-page p.prt --page 1 --png o.png --values v.json") << QStringList{"render-page", "p.prt", "--page", "1", "--png", "o.png", "--values", "v.json"} << usage.value("render-page");
        QTest::newRow("render-page p.prt --page 1 --png o.png --panel --clock 10:15") << QStringList{"render-page", "p.prt", "--page", "1", "--png", "o.png", "--panel", "--clock", "10:15"} << QStringLiteral("--clock expects YYYY-MM-DDTHH:MM");
        QTest::newRow("render-page p.prt --page 1 --png o.png --panel --values /nonexistent/v.json") << QStringList{"render-page", "p.prt", "--page", "1", "--png", "o.png", "--panel", "--values", "/nonexistent/v.json"} << QStringLiteral("cannot open /nonexistent/v.json: no such file");
        QTest::newRow("render-page /nonexistent/x.prt --page 1 --page 2 --png o.png --quantised") << QStringList{"render-page", "/nonexistent/x.prt", "--page", "1", "--page", "2", "--png", "o.png", "--quantised"} << QStringLiteral("cannot open /nonexistent/x.prt: no such file");

        QTest::newRow("scheme") << QStringList{"scheme"} << usage.value("scheme");
        QTest::newRow("scheme a.net b.net") << QStringList{"scheme", "a.net", "b.net"} << usage.value("scheme");
        QTest::newRow("scheme --version") << QStringList{"scheme", "--version"} << QStringLiteral("cannot open --version: no such file");
        QTest::newRow("scheme x.net --version") << QStringList{"scheme", "x.net", "--version"} << usage.value("scheme");
        QTest::newRow("scheme --version 9 x.net") << QStringList{"scheme", "--version", "9", "x.net"} << QStringLiteral("scheme: --version must be 5, 3, 0 or 1");
        QTest::newRow("scheme --frob") << QStringList{"scheme", "--frob"} << QStringLiteral("cannot open --frob: no such file");
        QTest::newRow("scheme /nonexistent/x.net --version 3") << QStringList{"scheme", "/nonexistent/x.net", "--version", "3"} << QStringLiteral("cannot open /nonexistent/x.net: no such file");

        QTest::newRow("algorithm") << QStringList{"algorithm"} << usage.value("algorithm");
        QTest::newRow("algorithm a.net") << QStringList{"algorithm", "a.net"} << usage.value("algorithm");
        QTest::newRow("algorithm a.net b.net --block") << QStringList{"algorithm", "a.net", "b.net", "--block"} << QStringLiteral("--block needs a block number");
        QTest::newRow("algorithm a.net b.net --block x") << QStringList{"algorithm", "a.net", "b.net", "--block", "x"} << QStringLiteral("--block needs a block number");
        QTest::newRow("algorithm a.net b.net c.net") << QStringList{"algorithm", "a.net", "b.net", "c.net"} << usage.value("algorithm");
        QTest::newRow("algorithm --frob b.net") << QStringList{"algorithm", "--frob", "b.net"} << QStringLiteral("cannot open --frob: no such file");
        QTest::newRow("algorithm /nonexistent/1.net /nonexistent/2.net --block 3") << QStringList{"algorithm", "/nonexistent/1.net", "/nonexistent/2.net", "--block", "3"} << QStringLiteral("cannot open /nonexistent/1.net: no such file");

        QTest::newRow("resave a.prt") << QStringList{"resave", "a.prt"} << usage.value("resave");
        QTest::newRow("resave --x out.prt") << QStringList{"resave", "--x", "out.prt"} << QStringLiteral("cannot open --x: no such file");
    }

    void argumentErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess p;
        // A runtime directory of our own keeps Qt's platform notes off stderr.
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(OSTREL_CLI), args);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 2);
        QCOMPARE(QString::fromLocal8Bit(p.readAllStandardError()), error + u'\n');
        QVERIFY(p.readAllStandardOutput().isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliOptions)
#include "test_cli_options.moc"
