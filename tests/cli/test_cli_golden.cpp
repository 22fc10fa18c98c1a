// The example project through every ostrel-cli command, compared byte for
// byte with the outputs the program gave when they were recorded: the JSON of
// "scheme" and "algorithm", the wire streams of "write-scheme --dump" and
// "write-pages --dump", the images of "render-page" and the file of "resave",
// for the example and for a project with every page slot in use. A digest differs whenever any byte does; when a change is
// meant to alter an output, record the new digest with sha256sum.
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);
// The example scheme with every slot of pages 2..8 in use (make_full_project).
const QString kFull = QStringLiteral(OSTREL_TEST_DATA "/full/full.prt");

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList& args)
{
    // A runtime folder of its own keeps the platform's notes off stderr.
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(kExamples);
    p.start(QStringLiteral(OSTREL_CLI), args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray sha256(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

} // namespace

class CliGoldenTest : public QObject {
    Q_OBJECT
private slots:
    void printedJson_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("scheme, version 5") << QStringList{"scheme", "boiler.net", "--version", "5"}
                                           << QByteArray("9e98cd3ccb7b2f77771e2420e58fcc1705ffad5aa235f3ae21b423e8828eb190");
        QTest::newRow("scheme, version 3") << QStringList{"scheme", "boiler.net", "--version", "3"}
                                           << QByteArray("fc2e573745e91a0ae8e328d9d5724c5878f1890b9b69144c842067f8d3acce8a");
        QTest::newRow("scheme, version 0") << QStringList{"scheme", "boiler.net", "--version", "0"}
                                           << QByteArray("3635eb704ddfd5edb60ed74669acacdcada171af6d2129aec0817fb4725efb41");
        QTest::newRow("scheme, version 1") << QStringList{"scheme", "boiler.net", "--version", "1"}
                                           << QByteArray("23baf0c2565076fb46eaa5ca82b0e6f09f51a7021ff132e27ae4095550e9c7df");
        QTest::newRow("algorithm") << QStringList{"algorithm", "boiler.net", "boiler_algorithm.net"}
                                   << QByteArray("33f653b79f2689586cb9c87213fd04c83f34ce953eddd08332b721e292e02147");
    }
    void printedJson()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, digest);
        const Run r = cli(args);
        QCOMPARE(r.code, 0);
        QCOMPARE(sha256(r.out), digest);
    }

    void dumpedStream_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("digest");
        const QByteArray v5("1e4bf1b52b65707de54d4a52c5389c5252e0d4aee2e67acba2272e940775019c");
        const QByteArray older("1a99dfd6e2f9c7dda69426a7ca15dd8f4422192a213907bbd8d63856509fe7a9");
        QTest::newRow("project") << QStringList{"boiler.prt"}
                                 << QByteArray("07b35e13946af5f93cb8551419d75ce89fb498f9de6ea92ba6cdd01df542108c");
        QTest::newRow("netlist, version 5") << QStringList{"boiler.net", "--version", "5"} << v5;
        QTest::newRow("netlist, version 3") << QStringList{"boiler.net", "--version", "3"} << older;
        QTest::newRow("netlist, version 0") << QStringList{"boiler.net", "--version", "0"} << older;
        QTest::newRow("netlist, version 1") << QStringList{"boiler.net", "--version", "1"} << older;
    }
    void dumpedStream()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, digest);
        QTemporaryDir dir;
        const QString dump = dir.filePath("scheme.bin");
        const Run r = cli(QStringList{"write-scheme"} + args + QStringList{"--dump", dump});
        QCOMPARE(r.code, 0);
        QCOMPARE(sha256(readAll(dump)), digest);
    }

    // Both projects were written by the program: a resave gives them back.
    void resavedProject_data()
    {
        QTest::addColumn<QString>("project");
        QTest::newRow("example") << kExamples + "/boiler.prt";
        QTest::newRow("full") << kFull;
    }
    void resavedProject()
    {
        QFETCH(QString, project);
        QTemporaryDir dir;
        const QString out = dir.filePath("out.prt");
        const Run r = cli({"resave", project, out});
        QCOMPARE(r.code, 0);
        QCOMPARE(readAll(out), readAll(project));
    }

    // The page writes of both projects: the whole stream of all eight pages
    // and the images that render-page shows, as painted and quantised.
    void pageOutputs_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("digest");
        const QString example = kExamples + "/boiler.prt";
        QTest::newRow("example, all pages") << example << QStringList{"write-pages", "--all", "--dump"}
            << QByteArray("6c4985118d8c39c0ecbae4dd8000f848e3c87de04a6e45807193ef2f44adcc9b");
        QTest::newRow("full, all pages") << kFull << QStringList{"write-pages", "--all", "--dump"}
            << QByteArray("7765645cb3ab66f44e97227cd0977d2e3099418f3ef4f143093e877da4ea9253");
        QTest::newRow("full, scheme") << kFull << QStringList{"write-scheme", "--dump"}
            << QByteArray("07b35e13946af5f93cb8551419d75ce89fb498f9de6ea92ba6cdd01df542108c");
        QTest::newRow("example, page 1") << example << QStringList{"render-page", "--page", "1", "--png"}
            << QByteArray("8c90c93bd28eb498c0840e7e2c2cdf1a1b221dcb591a02e805146aa7031d3905");
        QTest::newRow("example, page 2 quantised") << example
            << QStringList{"render-page", "--quantised", "--page", "2", "--png"}
            << QByteArray("f2966638d47d9fa85a112e6768cc138d3324daedbdc5a9458d38602aa9748fa5");
        QTest::newRow("full, page 2") << kFull << QStringList{"render-page", "--page", "2", "--png"}
            << QByteArray("c61b06f2593b41367ea7b86012c208972728fa130d41d68154ddc75b33af51a8");
        QTest::newRow("full, page 8") << kFull << QStringList{"render-page", "--page", "8", "--png"}
            << QByteArray("7be34ed75bbe560e5914ce1bc6dcbcbca921b09a8b3a0a10e01db551d0066f80");
        QTest::newRow("full, page 8 quantised") << kFull
            << QStringList{"render-page", "--quantised", "--page", "8", "--png"}
            << QByteArray("68c8b0d68333e8a84be063d59c8e84bbe371829a52975d0831b701adb5a724d5");
    }
    void pageOutputs()
    {
        QFETCH(QString, project);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, digest);
        QTemporaryDir dir;
        const QString file = dir.filePath("out.bin");
        const QString command = args.takeFirst();
        const Run r = cli(QStringList{command, project} + args + QStringList{file});
        QCOMPARE(r.code, 0);
        QCOMPARE(sha256(readAll(file)), digest);
    }
};

QTEST_GUILESS_MAIN(CliGoldenTest)
#include "test_cli_golden.moc"
