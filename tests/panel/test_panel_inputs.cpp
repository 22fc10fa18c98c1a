// What the panel reads besides the link: its command line and the values
// file of block outputs and setpoints.
#include "display/block_values.h"
#include "panel/panel_options.h"
#include <QTest>

using namespace ostrel;

class PanelInputsTest : public QObject {
    Q_OBJECT

private slots:
    void options_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("tcp");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QStringList>("dumps");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("controller");
        QTest::addColumn<bool>("headless");
        QTest::newRow("tcp") << QStringList{"--tcp", "5020"} << 5020 << QString() << QStringList{} << 0 << 0 << false;
        QTest::newRow("any free port") << QStringList{"--tcp", "0", "--headless"} << 0 << QString() << QStringList{} << 0
                                       << 0 << true;
        QTest::newRow("serial and tcp") << QStringList{"--serial", "/dev/pts/4", "--tcp", "1"} << 1
                                        << QString("/dev/pts/4") << QStringList{} << 0 << 0 << false;
        QTest::newRow("files after --dump") << QStringList{"--dump", "a.bin", "b.bin", "--count", "3"} << -1
                                            << QString() << QStringList{"a.bin", "b.bin"} << 3 << 0 << false;
        QTest::newRow("--dump twice") << QStringList{"--dump", "a.bin", "--controller", "8", "--dump", "b.bin"} << -1
                                      << QString() << QStringList{"a.bin", "b.bin"} << 0 << 8 << false;
    }

    void options()
    {
        QFETCH(QStringList, args);
        PanelOptions o;
        QString error;
        QVERIFY2(parsePanelOptions(args, o, error), qPrintable(error));
        QTEST(o.tcp_port, "tcp");
        QTEST(o.serial_device, "serial");
        QTEST(o.dump_files, "dumps");
        QTEST(o.count, "count");
        QTEST(o.controller, "controller");
        QTEST(o.headless, "headless");
    }

    // A plant on one machine: the first and last port of the range.
    void portRange()
    {
        PanelOptions o;
        QString error;
        QVERIFY2(parsePanelOptions({"--tcp", "5020-5049", "--headless", "--out", "plant"}, o, error), qPrintable(error));
        QCOMPARE(o.tcp_port, 5020);
        QCOMPARE(o.tcp_last, 5049);
        QVERIFY(o.portRange());
        QVERIFY(parsePanelOptions({"--tcp", "5020-5020", "--headless"}, o, error));
        QCOMPARE(o.tcp_last, 5020);
        QVERIFY(parsePanelOptions({"--tcp", "5020"}, o, error));
        QVERIFY(!o.portRange());
    }

    void wrongOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        QTest::newRow("a plain argument") << QStringList{"--dump", "a.bin", "--tcp", "1", "x.bin"} << "unexpected argument: x.bin";
        QTest::newRow("tcp twice") << QStringList{"--tcp", "1", "--tcp", "2"} << "--tcp given twice";
        QTest::newRow("negative port") << QStringList{"--tcp", "-1"} << "--tcp expects a port 0..65535, not \"-1\"";
        QTest::newRow("value is an option") << QStringList{"--serial", "--tcp", "1"} << "--serial needs a value";
        QTest::newRow("controller 0") << QStringList{"--tcp", "1", "--controller", "0"}
                                      << "--controller expects a controller number 1..8, not \"0\"";
        QTest::newRow("count not a number") << QStringList{"--tcp", "1", "--count", "many"}
                                            << "--count expects a number of writes 1..1000000, not \"many\"";
        const QString badRange = QStringLiteral("--tcp expects a port 0..65535 or a range FIRST-LAST of at most 1000 "
                                                "ports 1..65535, not \"%1\"");
        QTest::newRow("range backwards") << QStringList{"--tcp", "5049-5020", "--headless"} << badRange.arg("5049-5020");
        QTest::newRow("range from 0") << QStringList{"--tcp", "0-10", "--headless"} << badRange.arg("0-10");
        QTest::newRow("range too long") << QStringList{"--tcp", "1000-2000", "--headless"} << badRange.arg("1000-2000");
        QTest::newRow("range of letters") << QStringList{"--tcp", "a-b", "--headless"} << badRange.arg("a-b");
        QTest::newRow("range with a window") << QStringList{"--tcp", "5020-5049"}
                                             << "--tcp FIRST-LAST has no window: add --headless";
        QTest::newRow("range and dump") << QStringList{"--tcp", "5020-5049", "--headless", "--dump", "a.bin"}
                                        << "--tcp FIRST-LAST stands for a plant alone: no --serial or --dump beside it";
        QTest::newRow("only an output folder") << QStringList{"--out", "x"}
                                               << "nothing to receive from: give --tcp PORT, --serial DEVICE or --dump FILE";
    }

    void wrongOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        PanelOptions o;
        QString found;
        QVERIFY(!parsePanelOptions(args, o, found));
        QCOMPARE(found, error);
    }

    void values()
    {
        BlockValues v;
        QString error;
        QVERIFY2(parseBlockValues(R"({"1": [12.5, 3], "3": [true, false], " 7 ": {"outputs": [0.5], "setpoints": [80, -2]}})",
                                  v, error),
                 qPrintable(error));
        QCOMPARE(v.output(1, 0), 12.5);
        QCOMPARE(v.output(1, 1), 3.0);
        QCOMPARE(v.output(1, 2), 0.0);   // not given
        QCOMPARE(v.output(3, 0), 1.0);
        QCOMPARE(v.output(3, 1), 0.0);
        QCOMPARE(v.output(7, 0), 0.5);
        QCOMPARE(v.setpoint(7, 1), -2.0);
        QCOMPARE(v.setpoint(1, 0), 0.0);
        QCOMPARE(v.output(2, 0), 0.0);   // block not given
        QCOMPARE(v.output(1, -1), 0.0);
        QVERIFY(parseBlockValues("{}", v, error));
        QVERIFY(v.isEmpty());
    }

    void wrongValues_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        QTest::newRow("not JSON") << QByteArray("{\"1\": [1,") << "not JSON at byte";
        QTest::newRow("a list") << QByteArray("[1, 2]") << "expected an object of block numbers";
        QTest::newRow("block 0") << QByteArray(R"({"0": [1]})") << "block \"0\": not a block number 1..99";
        QTest::newRow("block name") << QByteArray(R"({"PID": [1]})") << "block \"PID\": not a block number 1..99";
        QTest::newRow("a text value") << QByteArray(R"({"4": [1, "on"]})") << "block \"4\": value 2 is not a number";
        QTest::newRow("a number for the list") << QByteArray(R"({"4": 7})") << "block \"4\": expected a list of outputs";
        QTest::newRow("unknown key") << QByteArray(R"({"4": {"inputs": [1]}})") << "block \"4\": unknown key \"inputs\"";
        QTest::newRow("setpoints not a list") << QByteArray(R"({"4": {"setpoints": 3}})")
                                              << "block \"4\" setpoints: expected a list of numbers";
    }

    // A wrong file leaves the values as they were.
    void wrongValues()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        BlockValues v;
        v.setOutputs(9, {4.0});
        QString found;
        QVERIFY(!parseBlockValues(json, v, found));
        QVERIFY2(found.startsWith(error), qPrintable(found));
        QCOMPARE(v.output(9, 0), 4.0);
    }
};

QTEST_GUILESS_MAIN(PanelInputsTest)
#include "test_panel_inputs.moc"
