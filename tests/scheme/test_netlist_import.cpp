#include "scheme/test_netlist_builder.h"

#include <QtTest>
#include <memory>

using namespace ostrel;
using namespace ostrel::test;

namespace {

const QString kNetlistError = QString::fromUtf8("Ошибка netLIST!!! Выход блока №");

// Nine numbers for a SUM, counting from `first`.
QStringList numbers(int n, int first = 1)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QString::number(first + i);
    return out;
}

std::pair<int, int> link(const BlockTable& bt, int block, int input)
{
    return {bt.InputLink[block][2 * (input - 1)], bt.InputLink[block][2 * (input - 1) + 1]};
}

} // namespace

class TestNetlistImport : public QObject {
    Q_OBJECT
private slots:
    // reading items
    void readerKeepsItemsAfterNetlistOnly();
    void readerDecimalCommaStaysInOneItem();
    void readerWithoutNetlistItem();
    void readerCapsItemCount();
    void readerSurvivesGarbage_data();
    void readerSurvivesGarbage();
    void readerAcceptsUtf8_data();
    void readerAcceptsUtf8();

    // block types and parameters
    void sumFromNameAndAttributes();
    void namedSubtypes_data();
    void namedSubtypes();
    void analogInputChannels();
    void discreteOutputKinds();
    void rs485Attributes_data();
    void rs485Attributes();
    void textCuts_data();
    void textCuts();
    void codeAutomatBits();
    void attributeMapping_data();
    void attributeMapping();
    void algorithmBlockTakesSavedData();
    void unknownNameReadsNothing();
    void parametersNotSuppliedAreKept();

    // allocation
    void allocation();
    void allocationFollowsVersion();
    void storeOverflowStopsImport();

    // nets
    void driverMovesToHead();
    void driverFirstResetsAtEveryNet();
    void inverterFlagsAndRewires();
    void inverterOnJournalAndReport();
    void inverterOutputWithSeveralInputs();
    void inverterDesignatorsDoNotMix();
    void netNamedLikeInverterIsKept();
    void specialInputTables();
    void fixedBlocksUnderWrongNumber_data();
    void fixedBlocksUnderWrongNumber();
    void reimportClearsOldWiring();

    // failures
    void failures_data();
    void failures();

    // whole files
    void boilerExample();
    void newProjectReset();
};

// ---- reading -----------------------------------------------------------------

// The example scheme after a text editor saved it as UTF-8 imports exactly as
// the original: attribute columns, list values and texts count characters.
void TestNetlistImport::readerAcceptsUtf8_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("UTF-8") << QByteArray() << true;
    QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF") << true;
    QTest::newRow("code page 1251") << QByteArray() << false;
}

void TestNetlistImport::readerAcceptsUtf8()
{
    QFETCH(QByteArray, prefix);
    QFETCH(bool, utf8);
    QFile f(QStringLiteral(OSTREL_EXAMPLES "/boiler.net"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray original = f.readAll();
    const QByteArray bytes = utf8 ? prefix + QString(QStringDecoder("windows-1251").decode(original)).toUtf8() : original;

    auto reference = std::make_unique<Workspace>();
    auto ws = std::make_unique<Workspace>();
    ScriptedInteraction ui;
    importBytes(*reference, ui, original);
    const NetlistItems items = readBytes(bytes);
    QCOMPARE(items.encoding == TextEncoding::Utf8, utf8);
    NetlistItems copy = items;
    QVERIFY(importNetlist(ws->blocks, ws->catalog, copy, ui).completed);
    QCOMPARE(ui.texts(), QStringList());
    BlockTable& a = ws->blocks;
    const BlockTable& b = reference->blocks;
    QCOMPARE(a.block_type, b.block_type);
    QCOMPARE(a.param_base, b.param_base);
    QCOMPARE(a.text_base, b.text_base);
    QVERIFY(a.ParamStore == b.ParamStore);
    QVERIFY(a.TextStore == b.TextStore);
    QVERIFY(a.InputLink == b.InputLink);
    QCOMPARE(a.invert_mask, b.invert_mask);
    QCOMPARE(a.text(5, 8), U("Уставки котла"));
    QCOMPARE(a.param(4, 3), 1.0f); // "Импульс"
}

void TestNetlistImport::readerKeepsItemsAfterNetlistOnly()
{
    const QByteArray text = "header line\r\n(netlist \"x\"\r\n   (net \"N1\"\r\n\t(node \"U7\" \"9\")  \r\n\r\n)\r\n)\r\n";
    const NetlistItems items = readBytes(text);
    QVERIFY(items.sawNetlistItem);
    QVERIFY(!items.readError);
    // the closing ")" of the netlist is not kept; blanks around items are gone
    QCOMPARE(items.count(), 4);
    QCOMPARE(items.at(1), QStringLiteral("(net \"N1\""));
    QCOMPARE(items.at(2), QStringLiteral("(node \"U7\" \"9\")"));
    QCOMPARE(items.at(3), QString());
    QCOMPARE(items.at(4), QStringLiteral(")"));
    QCOMPARE(items.at(0), QString());
    QCOMPARE(items.at(5), QString());
    QCOMPARE(items.at(-1), QString());
}

void TestNetlistImport::readerDecimalCommaStaysInOneItem()
{
    // A decimal comma must not split the item and shift the attributes after it.
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp("U3", "MUL", {"1,5", "2", "-0,25", "4.75"}).bytes());
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(ws.blocks.param(3, 0), 1.5f);
    QCOMPARE(ws.blocks.param(3, 1), 2.0f);
    QCOMPARE(ws.blocks.param(3, 2), -0.25f);
    QCOMPARE(ws.blocks.param(3, 3), 4.75f);
}

void TestNetlistImport::readerWithoutNetlistItem()
{
    const QByteArray text = "ACCEL_ASCII \"x\"\r\n(compInst \"U3\"\r\n(originalName \"MUL\")\r\n";
    NetlistItems items = readBytes(text);
    QVERIFY(!items.sawNetlistItem);
    QCOMPARE(items.count(), 0);

    Workspace ws;
    ws.blocks.block_type[5] = 10; // an earlier scheme
    ScriptedInteraction ui;
    const ImportResult r = importNetlist(ws.blocks, ws.catalog, items, ui);
    QVERIFY(r.completed);
    QCOMPARE(r.blocks, 0); // the fixed blocks are typed without a component
    QVERIFY(!r.errorShown);
    QVERIFY(ui.messages.isEmpty());
    for (int n = 0; n <= 100; ++n)
        QCOMPARE(int(ws.blocks.block_type[n]), n == 97 ? 43 : n == 98 ? 41 : n == 99 ? 42 : 0);
}

void TestNetlistImport::readerCapsItemCount()
{
    // 10000 items after the netlist item plus the closing one fit exactly ...
    QByteArray exact = "(netlist \"x\"\r\n";
    for (int i = 0; i < NetlistItems::kMaxItems; ++i)
        exact += "(x)\r\n";
    exact += ")\r\n";
    NetlistItems a = readBytes(exact);
    QCOMPARE(a.count(), NetlistItems::kMaxItems);
    QVERIFY(!a.readError);

    // ... one more keeps the first 10000 and flags the read; the import
    // refuses it with its message (the connections beyond the table would be
    // lost without a word) and types no block.
    QByteArray text = "(netlist \"x\"\r\n(compInst \"U3\"\r\n(compRef \"MUL\")\r\n(originalName \"MUL\")\r\n"
                      "(attr \"A\" \"7\")\r\n";
    for (int i = 0; i < NetlistItems::kMaxItems; ++i)
        text += "(x)\r\n";
    text += ")\r\n";
    NetlistItems items = readBytes(text);
    QVERIFY(items.readError);
    QCOMPARE(items.count(), NetlistItems::kMaxItems);
    Workspace ws;
    ScriptedInteraction ui;
    const ImportResult r = importNetlist(ws.blocks, ws.catalog, items, ui);
    QCOMPARE(ui.texts(), QStringList{kNetlistReadError});
    QVERIFY(r.errorShown);
    QVERIFY(!r.completed);
    QCOMPARE(r.blocks, 0);
    QCOMPARE(int(ws.blocks.block_type[3]), 0);
}

void TestNetlistImport::readerSurvivesGarbage_data()
{
    QTest::addColumn<QByteArray>("data");
    QByteArray noise;
    quint32 x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1103515245u + 12345u;
        noise += char(x >> 16);
    }
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("noise") << noise;
    QTest::newRow("noise after netlist") << QByteArray("(netlist \"x\"\n") + noise;
    QTest::newRow("NULs") << QByteArray("(netlist \"x\"\n(compInst \"U\0\0\"\n(originalName \"\0\0\0\")\n)\n", 45);
    QTest::newRow("ends inside a component")
        << QByteArray("(netlist \"x\"\r\n(compInst \"U5\"\r\n(compRef \"SUM2_4\")\r\n(originalName \"SUM2_4\")\r\n(attr \"A\" \"1\")");
    QTest::newRow("ends inside a net")
        << QByteArray("(netlist \"x\"\r\n(compInst \"U5\"\r\n(compRef \"SUM2_4\")\r\n(originalName \"SUM2_4\")\r\n)\r\n"
                      "(net \"N\"\r\n(node \"U5\" \"9\")\r\n(node \"U");
    QTest::newRow("short items") << QByteArray("(netlist \"x\"\n(compInst\n(c\n(originalName\n(attr\n(net \n(node \n(node \"D\n)\n)\n");
    QTest::newRow("no line ends") << QByteArray("(netlist \"x\" (compInst \"U5\" (originalName \"SUM2_4\") (attr \"A\" \"1\")");
}

void TestNetlistImport::readerSurvivesGarbage()
{
    QFETCH(QByteArray, data);
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui, data);
    QCOMPARE(int(ws.blocks.block_type[97]), 43);
    QVERIFY(ws.blocks.param_bytes >= 0 && ws.blocks.param_bytes <= 4 * BlockTable::kParams);
}

// ---- block types and parameters ------------------------------------------------

void TestNetlistImport::sumFromNameAndAttributes()
{
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp("U5", "SUM2_3", numbers(9, 10)).bytes());
    QVERIFY(ui.messages.isEmpty());
    BlockTable& bt = ws.blocks;
    QCOMPARE(int(bt.block_type[5]), 10);
    QCOMPARE(bt.ParamStore[bt.param_base[5] + 9], 1.0f);
    QCOMPARE(bt.ParamStore[bt.param_base[5] + 8], 10.0f); // attribute 0
    for (int k = 0; k < 8; ++k)
        QCOMPARE(bt.ParamStore[bt.param_base[5] + k], float(11 + k));
}

void TestNetlistImport::namedSubtypes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("param");
    QTest::addColumn<float>("value");
    QTest::newRow("PID_RELAY") << "PID_RELAY" << 26 << 0 << 4.0f;
    QTest::newRow("PID_IMPULS1") << "PID_IMPULS1" << 26 << 0 << 3.0f;
    QTest::newRow("AND8_1") << "AND8_1" << 17 << 0 << 2.0f;
    QTest::newRow("OR_4_2") << "OR_4_2" << 18 << 0 << 1.0f;
    QTest::newRow("MUXD2_4") << "MUXD2_4" << 27 << 0 << 3.0f;
    QTest::newRow("MIN_MAX_MAX") << "MIN_MAX_MAX" << 33 << 0 << 1.0f;
    QTest::newRow("TIMER_2") << "TIMER_2" << 36 << 0 << 1.0f;
    QTest::newRow("OSC2_GEN") << "OSC2_GEN" << 38 << 0 << 3.0f;
    QTest::newRow("PAN_INC_DEC_REG") << "PAN_INC_DEC_REG" << 29 << 0 << 5.0f;
    QTest::newRow("UNI_GRAPH_START_STOP") << "UNI_GRAPH_START_STOP" << 46 << 0 << 10.0f;
    QTest::newRow("RS485_Ubrix_01") << "RS485_Ubrix_01" << 5 << 1 << 1.0f;
    QTest::newRow("D_INPUT_ENCODER p6") << "D_INPUT_ENCODER" << 3 << 6 << 1.0f;
    QTest::newRow("D_INPUT p6") << "D_INPUT" << 3 << 6 << 0.0f;
    QTest::newRow("NO_ name is type 7") << "NO_THING" << 7 << -1 << 0.0f;
    QTest::newRow("TOUCH") << "TOUCH" << 50 << -1 << 0.0f;
}

void TestNetlistImport::namedSubtypes()
{
    QFETCH(QString, name);
    QFETCH(int, type);
    QFETCH(int, param);
    QFETCH(float, value);
    Workspace ws;
    ws.blocks.ParamStore.fill(-7.0f);
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp("U12", name, numbers(16)).bytes());
    QCOMPARE(ui.texts(), QStringList());
    QCOMPARE(int(ws.blocks.block_type[12]), type);
    if (param >= 0)
        QCOMPARE(ws.blocks.param(12, param), value);
}

void TestNetlistImport::analogInputChannels()
{
    QStringList a{"1"};
    const char* kinds[4] = {"100П", "ТХА", "4-20мА", "XYZ"};
    for (int c = 0; c < 4; ++c)
        a << U(kinds[c]) << QString::number(c) << "100" << "0.5" << "4" << "20" << "3";
    Workspace ws;
    ws.blocks.ParamStore.fill(-1.0f);
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp("U1", "A_INPUT", a).bytes());
    QVERIFY(ui.messages.isEmpty());
    BlockTable& bt = ws.blocks;
    QCOMPARE(bt.param(1, 0), 0.0f); // network 1 -> list index 0
    QCOMPARE(bt.ParamStore[1], 3.0f);  // "100П"
    QCOMPARE(bt.ParamStore[2], 9.0f);  // "ТХА" padded to "ТХА "
    QCOMPARE(bt.ParamStore[3], 14.0f); // "4-20мА" by its first four characters
    QCOMPARE(bt.ParamStore[4], -1.0f); // no match: unchanged
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(bt.ParamStore[5 + c], float(c));
        QCOMPARE(bt.ParamStore[9 + c], 100.0f);
        QCOMPARE(bt.ParamStore[25 + c], 3.0f);
    }
}

void TestNetlistImport::discreteOutputKinds()
{
    const QStringList a{"2", U("Реле"), U("Импульс"), U("Универсальный"), U("Шаговый мотор"), "3", "x", "Pулe", U("Имп")};
    Workspace ws;
    ws.blocks.ParamStore.fill(-1.0f);
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp("U4", "D_OUTPUT", a).bytes());
    const QList<float> expect{1, 0, 1, 2, 3, 3, -1, -1, -1};
    for (int i = 0; i < expect.size(); ++i)
        QCOMPARE(ws.blocks.ParamStore[i], expect[i]);
}

void TestNetlistImport::rs485Attributes_data()
{
    QTest::addColumn<QString>("baud");
    QTest::addColumn<float>("p2");
    QTest::newRow("9600") << "9600" << 0.0f;
    QTest::newRow("19200") << "19200" << 1.0f;
    QTest::newRow("57600") << "57600" << 3.0f;
    QTest::newRow("115200") << "115200" << 4.0f;
    QTest::newRow("other") << "4800" << -1.0f;
}

void TestNetlistImport::rs485Attributes()
{
    QFETCH(QString, baud);
    QFETCH(float, p2);
    Workspace ws;
    ws.blocks.ParamStore.fill(-1.0f);
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp("U2", "RS485", {"7", baud}).bytes());
    QCOMPARE(ws.blocks.param(2, 0), 6.0f);
    QCOMPARE(ws.blocks.param(2, 1), 2.0f);
    QCOMPARE(ws.blocks.param(2, 2), p2);
}

void TestNetlistImport::textCuts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("attr");
    QTest::addColumn<int>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("stored");
    QTest::newRow("S_P 20 -> 15") << "S_P" << 5 << 0 << 8 << 20 << 15;
    QTest::newRow("S_P 17 whole") << "S_P" << 5 << 1 << 0 << 17 << 17;
    QTest::newRow("S_P 18 -> 15") << "S_P" << 5 << 1 << 0 << 18 << 15;
    QTest::newRow("PAN 20 -> 15") << "PAN_OFF_ON" << 5 << 2 << 2 << 20 << 15;
    QTest::newRow("REP 30 -> 15") << "REP" << 5 << 15 << 15 << 30 << 15;
    QTest::newRow("journal whole") << "JUR" << 99 << 1 << 0 << 20 << 20;
    QTest::newRow("journal 41 whole") << "JUR" << 99 << 4 << 1 << 41 << 41;
    QTest::newRow("journal 42: no quote, nothing stored") << "JUR" << 99 << 4 << 1 << 42 << -1;
    QTest::newRow("graph not cut") << "GRA" << 98 << 1 << 33 << 20 << 20;
}

void TestNetlistImport::textCuts()
{
    QFETCH(QString, name);
    QFETCH(int, block);
    QFETCH(int, attr);
    QFETCH(int, text);
    QFETCH(int, length);
    QFETCH(int, stored);
    QStringList a = numbers(100);
    QString value;
    for (int i = 0; i < length; ++i)
        value += QChar(u'а' + i % 32);
    a[attr] = value;
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp(QStringLiteral("U%1").arg(block), name, a).bytes());
    QCOMPARE(ui.texts(), QStringList());
    const QString got = ws.blocks.text(block, text);
    QCOMPARE(got, stored < 0 ? QStringLiteral("0") : value.left(stored));
}

void TestNetlistImport::codeAutomatBits()
{
    QStringList a{"2"}; // p0 = 2 + 3 = 5
    for (int b = 0; b < 384; ++b)
        a << "0";
    // step 1 (s = 1): first output bits b12, b15, b18, b21 -> 1 + 4 + 0 + 64
    a[1 + 12] = "1";
    a[1 + 15] = "1";
    a[1 + 21] = "1";
    a[1 + 12 * 31 + 3 * 3 + 2] = "1"; // last step, third output, weight 64
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp("U4", "CODE_AUTOMAT_128", a).bytes());
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(ws.blocks.param(4, 0), 5.0f);
    QCOMPARE(ws.blocks.param(4, 4 + 1), 69.0f);
    QCOMPARE(ws.blocks.param(4, 36 + 1), 0.0f);
    QCOMPARE(ws.blocks.param(4, 68 + 31), 64.0f);
}

// Attribute k of the component carries the value k + 1; each row lists where
// the values must land ("p4=1": parameter 4 holds 1, "t0=1": text 0 is "1",
// "p2=-7": parameter 2 untouched).
void TestNetlistImport::attributeMapping_data()
{
    QTest::addColumn<QString>("des");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("attrs");
    QTest::addColumn<QString>("expect");
    QTest::newRow("PID_RELAY") << "U12" << "PID_RELAY" << 11
                               << "p0=4 p4=1 p11=2 p1=3 p2=4 p3=5 p12=6 p13=7 p14=8 p7=9 p16=10 p17=11 p5=-7";
    QTest::newRow("PID_ANALOG1") << "U12" << "PID_ANALOG1" << 11 << "p0=0 p4=1 p17=11";
    QTest::newRow("OSC4_ONE") << "U8" << "OSC4_ONE" << 8 << "p0=0 p1=1 p3=2 p5=3 p7=4 p2=-7 p8=-7";
    QTest::newRow("OSC4_GEN") << "U8" << "OSC4_GEN" << 8 << "p0=1 p1=1 p2=2 p7=7 p8=8";
    QTest::newRow("OSC2_ONE") << "U8" << "OSC2_ONE" << 8 << "p0=2 p1=1 p3=2 p2=-7 p5=-7";
    QTest::newRow("OSC2_GEN") << "U8" << "OSC2_GEN" << 8 << "p0=3 p1=1 p4=4 p5=-7";
    QTest::newRow("TIMER_4") << "U6" << "TIMER_4" << 4 << "p0=0 p1=1 p2=2 p3=3 p4=4";
    QTest::newRow("PAN_INC_DEC") << "U9" << "PAN_INC_DEC" << 13
                                 << "p0=4 t0=1 t4=5 p10=6 p11=7 p12=8 p13=9 p2=-7 p8=-7";
    QTest::newRow("PAN_INC_DEC_REG") << "U9" << "PAN_INC_DEC_REG" << 13
                                     << "p0=5 t0=1 t4=5 p2=6 p4=7 p6=8 p8=9 p10=10 p11=11 p12=12 p13=13 p3=-7";
    QTest::newRow("PAN_OFF_ON texts only") << "U9" << "PAN_OFF_ON" << 13 << "p0=0 t2=3 p2=-7 p10=-7";
    QTest::newRow("LOG") << "U11" << "LOGIC" << 9 << "p0=1 p3=2 p6=3 p1=1 p4=5 p7=6 p5=8 p8=9";
    QTest::newRow("CMP") << "U11" << "CMP" << 6 << "p0=1 p5=6";
    QTest::newRow("UNI_MENU") << "U11" << "UNI_MENU" << 8 << "p0=1 p1=1 p8=8";
    QTest::newRow("PRO last step") << "U2" << "PRO_SET" << 129 << "p136=0 p4=2 p36=3 p68=4 p100=5 p35=126 p67=127 p99=128 p131=129";
    QTest::newRow("CODE last step") << "U2" << "CODE" << 97 << "p0=0 p4=2 p36=3 p68=4 p35=95 p67=96 p99=97";
    QTest::newRow("graph") << "U98" << "GRAPH" << 98 << "p0=1 t33=2 p34=3 p67=4 t1=5 p65=96 p98=97 t32=98";
    QTest::newRow("journal, last event into p82") << "U99" << "JUR" << 98
                                                  << "p50=1 t0=2 p10=3 p51=4 t1=5 p41=96 p82=97 t32=98";
}

void TestNetlistImport::attributeMapping()
{
    QFETCH(QString, des);
    QFETCH(QString, name);
    QFETCH(int, attrs);
    QFETCH(QString, expect);
    Workspace ws;
    ws.blocks.ParamStore.fill(-7.0f);
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp(des, name, numbers(attrs)).bytes());
    QCOMPARE(ui.texts(), QStringList());
    const int n = des.mid(1).toInt();
    for (const QString& e : expect.split(QLatin1Char(' '))) {
        const int eq = int(e.indexOf(QLatin1Char('=')));
        const int k = e.mid(1, eq - 1).toInt();
        const QString value = e.mid(eq + 1);
        if (e.startsWith(QLatin1Char('t')))
            QCOMPARE(ws.blocks.text(n, k), value);
        else
            QVERIFY2(ws.blocks.param(n, k) == value.toFloat(), qPrintable(e));
    }
}

void TestNetlistImport::algorithmBlockTakesSavedData()
{
    Workspace ws;
    ws.blocks.alg_param_saved[1] = "2,5";
    ws.blocks.alg_param_saved[128] = "-3";
    ws.blocks.alg_text_saved[0] = "17";
    ws.blocks.alg_text_saved[41 + 39] = "5"; // step 1 then_next already set
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp("U14", "ALG", {"14"}).bytes());
    QVERIFY(ui.messages.isEmpty());
    BlockTable& bt = ws.blocks;
    QCOMPARE(bt.param(14, 0), 14.0f);
    QCOMPARE(bt.param(14, 1), 2.5f);
    QCOMPARE(bt.param(14, 128), -3.0f);
    QCOMPARE(bt.TextStore[bt.text_base[14]], QStringLiteral("17"));
    QCOMPARE(bt.TextStore[bt.text_base[14] + 41 + 39], QStringLiteral("5"));
    QCOMPARE(bt.TextStore[bt.text_base[14] + 41 * 127 + 40], QStringLiteral("128"));
    QCOMPARE(bt.TextStore[bt.text_base[14] + 41 * 127 + 20], QStringLiteral("1"));
    QCOMPARE(bt.TextStore[bt.text_base[14] + 21], QStringLiteral("0"));
}

void TestNetlistImport::unknownNameReadsNothing()
{
    Workspace ws;
    ws.blocks.ParamStore.fill(-1.0f);
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp("U2", "SUM_X", numbers(9)).comp("U3", "PID_X", numbers(11)).bytes());
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(int(ws.blocks.block_type[2]), 10);
    QCOMPARE(int(ws.blocks.block_type[3]), 26);
    for (int i = 0; i < 28; ++i)
        QCOMPARE(ws.blocks.ParamStore[i], -1.0f);
}

void TestNetlistImport::parametersNotSuppliedAreKept()
{
    Workspace ws;
    ws.blocks.ParamStore.fill(42.0f);
    ScriptedInteraction ui;
    importBytes(ws, ui, NetlistBuilder().comp("U6", "TIMER_2", {"5", "6"}).bytes());
    QCOMPARE(ws.blocks.param(6, 0), 1.0f);
    QCOMPARE(ws.blocks.param(6, 2), 6.0f);
    QCOMPARE(ws.blocks.param(6, 3), 42.0f);
    QCOMPARE(ws.blocks.param(6, 4), 42.0f);
}

// ---- allocation ------------------------------------------------------------------

void TestNetlistImport::allocation()
{
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui,
                NetlistBuilder()
                    .comp("U5", "SUM2_4", numbers(9))
                    .comp("U3", "MUL", numbers(4))
                    .comp("U80", "S_P", numbers(17))
                    .bytes());
    QVERIFY(ui.messages.isEmpty());
    BlockTable& bt = ws.blocks;
    QCOMPARE(int(bt.param_base[3]), 0);
    QCOMPARE(int(bt.param_base[5]), 4);
    QCOMPARE(int(bt.param_base[80]), 14);
    QCOMPARE(int(bt.text_base[80]), 0);
    QCOMPARE(int(bt.param_base[97]), 22);
    QCOMPARE(int(bt.param_base[98]), 23);
    QCOMPARE(int(bt.text_base[98]), 9);
    QCOMPARE(int(bt.param_base[99]), 122);
    QCOMPARE(int(bt.text_base[99]), 43);
    QCOMPARE(int(bt.param_base[4]), 0); // empty numbers own nothing
    QCOMPARE(bt.param(80, 7), 17.0f);  // block 80 is allocated and read
    // MUL 4 + SUM 10 + S_P 8, plus the fixed blocks 97..99 (1 + 99 + 82)
    QCOMPARE(bt.param_bytes, 4 * (4 + 10 + 8 + 1 + 99 + 82));
    // S_P 9 x 17, graph 34 x 17, journal 33 x 40
    QCOMPARE(bt.text_bytes, 9 * 17 + 34 * 17 + 33 * 40);
}

void TestNetlistImport::allocationFollowsVersion()
{
    for (int version : {5, 3}) {
        Workspace ws;
        ws.selectVersion(uint8_t(version));
        ScriptedInteraction ui;
        importBytes(ws, ui, NetlistBuilder().comp("U1", "RS485", {"1", "9600"}).comp("U2", "TOUCH").comp("U3", "REP", numbers(16)).bytes());
        const int rsTexts = version == 5 ? 48 : 0;
        QCOMPARE(int(ws.blocks.text_base[3]), rsTexts);
        QCOMPARE(int(ws.blocks.param_base[3]), 3 + 1);
        QCOMPARE(ws.blocks.text_bytes, rsTexts + 16 * 17 + 34 * 17 + 33 * 40);
    }
}

void TestNetlistImport::storeOverflowStopsImport()
{
    // 73 program setters fill 73 x 137 = 10001 parameters; the 74th does not fit.
    NetlistBuilder b;
    for (int n = 1; n <= 74; ++n)
        b.comp(QStringLiteral("U%1").arg(n), "PRO_SET", {"1"});
    auto ws = std::make_unique<Workspace>();
    ScriptedInteraction ui;
    const ImportResult r = importBytes(*ws, ui, b.bytes());
    QVERIFY(!r.completed);
    QCOMPARE(ui.texts(), QStringList{kNetlistError + "74"});
    QCOMPARE(int(ws->blocks.param_base[73]), 72 * 137);
    QCOMPARE(int(ws->blocks.param_base[74]), 0);
    QCOMPARE(int(ws->blocks.param_base[99]), 0);
}

// ---- nets ------------------------------------------------------------------------

void TestNetlistImport::driverMovesToHead()
{
    NetlistItems items = readBytes(NetlistBuilder()
                                       .comp("U3", "MUL", numbers(4))
                                       .comp("U7", "SUM2_4", numbers(9))
                                       .net({"U3:1", "U7:9", "U3:2"})
                                       .bytes());
    Workspace ws;
    ScriptedInteraction ui;
    importNetlist(ws.blocks, ws.catalog, items, ui);
    QVERIFY(ui.messages.isEmpty());
    int head = 0;
    for (int k = 1; k <= items.count(); ++k)
        if (items.at(k).startsWith(QLatin1String("(net ")))
            head = k + 1;
    QCOMPARE(items.at(head), QStringLiteral("(node \"U7\" \"9\")"));
    QCOMPARE(link(ws.blocks, 3, 1), std::make_pair(13 - 1 - 9, 7));
    QCOMPARE(link(ws.blocks, 3, 2), std::make_pair(3, 7));
}

void TestNetlistImport::driverFirstResetsAtEveryNet()
{
    // A net of inputs only (no driver) before a net whose driver is listed
    // last: the driver must not be moved into the previous net.
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui,
                NetlistBuilder()
                    .comp("U2", "MUL", numbers(4))
                    .comp("U3", "MUL", numbers(4))
                    .comp("U7", "SUM2_4", numbers(9))
                    .net({"U2:1", "U2:2", "U2:3"})
                    .net({"U3:1", "U3:2", "U7:10"})
                    .bytes());
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(link(ws.blocks, 3, 1), std::make_pair(2, 7));
    QCOMPARE(link(ws.blocks, 3, 2), std::make_pair(2, 7));
    QCOMPARE(link(ws.blocks, 7, 2), std::make_pair(0, 0));
    QCOMPARE(link(ws.blocks, 2, 3), std::make_pair(13 - 1 - 1, 2)); // first node taken as source
}

void TestNetlistImport::inverterFlagsAndRewires()
{
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui,
                NetlistBuilder()
                    .comp("U3", "MUL", numbers(4))
                    .comp("U7", "SUM2_4", numbers(9))
                    .comp("D1", "INVERTOR")
                    .net({"D1:1", "U3:1", "U7:9"})
                    .net({"U3:2", "D1:2"})
                    .bytes());
    QCOMPARE(ui.texts(), QStringList());
    QCOMPARE(int(ws.blocks.invert_mask[3]), 0x02);
    QCOMPARE(link(ws.blocks, 3, 2), std::make_pair(3, 7));
    QCOMPARE(link(ws.blocks, 3, 1), std::make_pair(3, 7));
    QCOMPARE(int(ws.blocks.block_type[1]), 0); // the inverter is not a block
}

void TestNetlistImport::inverterOnJournalAndReport()
{
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui,
                NetlistBuilder()
                    .comp("U7", "SUM2_4", numbers(9))
                    .comp("U20", "REP", numbers(16))
                    .comp("D1", "INVERTOR")
                    .comp("D2", "INVERTOR")
                    .net({"U7:9", "D1:1", "D2:1"})
                    .net({"U99:12", "D1:2"})
                    .net({"U20:30", "D2:2"})
                    .bytes());
    QCOMPARE(ui.texts(), QStringList());
    BlockTable& bt = ws.blocks;
    QCOMPARE(bt.journal_invert, (std::array<uint8_t, 4>{0, 0x08, 0, 0}));
    QCOMPARE(bt.report_invert, (std::array<uint8_t, 4>{0, 0, 0, 0x20}));
    QCOMPARE(int(bt.special_link[1][3]), 0x20);
    QCOMPARE(int(bt.journal_input_link[22]), 3);
    QCOMPARE(int(bt.journal_input_link[23]), 7);
    QCOMPARE(int(bt.special_link[0][58]), 3);
    QCOMPARE(int(bt.special_link[0][59]), 7);
}

void TestNetlistImport::inverterOutputWithSeveralInputs()
{
    const QString msg = QString::fromUtf8("Ошибка подключения выхода инвертора ") + "D1\" ";
    struct Case {
        QStringList outputNet;
        int messages;
    };
    const QList<Case> cases{
        {{"U3:2", "U4:1", "D1:2"}, 1},          // moved up one: a node on both sides
        {{"D1:2", "U3:2", "U4:1"}, 1},          // two nodes after it
        {{"U3:2", "U4:1", "D1:2", "U5:1"}, 2},  // one side and two before
        {{"U3:2", "U4:1", "D1:2", "U5:1", "U6:1"}, 3},
    };
    for (const Case& c : cases) {
        Workspace ws;
        ScriptedInteraction ui;
        const ImportResult r = importBytes(ws, ui,
                                           NetlistBuilder()
                                               .comp("U3", "MUL", numbers(4))
                                               .comp("U4", "MUL", numbers(4))
                                               .comp("U5", "MUL", numbers(4))
                                               .comp("U6", "MUL", numbers(4))
                                               .comp("U7", "SUM2_4", numbers(9))
                                               .comp("D1", "INVERTOR")
                                               .net(c.outputNet)
                                               .net({"U7:9", "D1:1", "U6:2"})
                                               .bytes());
        QVERIFY(r.completed);
        QCOMPARE(ui.texts(), QStringList(c.messages, msg));
        for (const Message& m : ui.messages)
            QCOMPARE(m.icon, MessageIcon::Error);
        QCOMPARE(link(ws.blocks, 6, 2), std::make_pair(3, 7)); // the import went on
    }
}

void TestNetlistImport::inverterDesignatorsDoNotMix()
{
    // D1 and D12: D12's input must not be taken for D1's.
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui,
                NetlistBuilder()
                    .comp("U3", "MUL", numbers(4))
                    .comp("U4", "MUL", numbers(4))
                    .comp("U7", "SUM2_4", numbers(9))
                    .comp("U8", "SUM2_4", numbers(9))
                    .comp("D1", "INVERTOR")
                    .comp("D12", "INVERTOR")
                    .net({"U7:9", "D12:1"})
                    .net({"U8:9", "D1:1"})
                    .net({"D1:2", "U3:1"})
                    .net({"D12:2", "U4:1"})
                    .bytes());
    QCOMPARE(ui.texts(), QStringList());
    QCOMPARE(link(ws.blocks, 3, 1), std::make_pair(3, 8));
    QCOMPARE(link(ws.blocks, 4, 1), std::make_pair(3, 7));
    QCOMPARE(int(ws.blocks.invert_mask[3]), 1);
    QCOMPARE(int(ws.blocks.invert_mask[4]), 1);
}

void TestNetlistImport::netNamedLikeInverterIsKept()
{
    Workspace ws;
    ScriptedInteraction ui;
    NetlistBuilder b;
    b.comp("U3", "MUL", numbers(4)).comp("U7", "SUM2_4", numbers(9));
    b.line("(net \"DRIVE\"").line("(node \"U7\" \"9\")").line("(node \"U3\" \"1\")").line(")");
    importBytes(ws, ui, b.bytes());
    QCOMPARE(ui.texts(), QStringList());
    QCOMPARE(link(ws.blocks, 3, 1), std::make_pair(3, 7));
}

void TestNetlistImport::specialInputTables()
{
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui,
                NetlistBuilder()
                    .comp("U1", "A_INPUT", QStringList(29, "1"))
                    .comp("U14", "ALG", {"1"})
                    .comp("U20", "REP", numbers(16))
                    .net({"U98:32", "U1:16", "U99:1", "U14:35", "U20:33", "U97:3", "U14:67"})
                    .net({"U14:33", "U98:1"})
                    .bytes());
    QCOMPARE(ui.texts(), QStringList());
    BlockTable& bt = ws.blocks;
    QCOMPARE(int(bt.graph_input_link[62]), 15);
    QCOMPARE(int(bt.graph_input_link[63]), 1);
    QCOMPARE(int(bt.graph_input_link[0]), 31); // ALG pin 33 -> 65 - 1 - 33
    QCOMPARE(int(bt.graph_input_link[1]), 14);
    QCOMPARE(int(bt.journal_input_link[1]), 1);
    QCOMPARE(int(bt.special_link[2][1]), 1);  // pin 35 -> input index 0
    QCOMPARE(int(bt.special_link[2][65]), 1); // pin 67 -> input index 32
    QCOMPARE(int(bt.special_link[0][64]), 15);
    QCOMPARE(int(bt.special_link[0][65]), 1);
    for (const auto& row : bt.InputLink)
        for (uint8_t v : row)
            QCOMPARE(int(v), 0);
}

void TestNetlistImport::fixedBlocksUnderWrongNumber_data()
{
    QTest::addColumn<QString>("des");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("graph as U50") << "U50" << "GRAPH" << U("Номер блока ГРАФИК не равен 98");
    QTest::newRow("journal as U51") << "U51" << "JURNAL" << U("Номер блока ЖУРНАЛ не равен 99");
    QTest::newRow("SCADA as U52") << "U52" << "SCADA" << U("Номер блока SCADA не равен 97");
}

void TestNetlistImport::fixedBlocksUnderWrongNumber()
{
    QFETCH(QString, des);
    QFETCH(QString, name);
    Workspace ws;
    ScriptedInteraction ui;
    const ImportResult r = importBytes(ws, ui,
                                       NetlistBuilder()
                                           .comp("U3", "MUL", numbers(4))
                                           .comp("U7", "SUM2_4", numbers(9))
                                           .comp(des, name, numbers(98))
                                           .net({"U7:9", "U3:1"})
                                           .net({"U7:10", des + ":1"})
                                           .net({"U7:11", "U3:2"})
                                           .bytes());
    QVERIFY(r.completed);
    QFETCH(QString, message);
    QCOMPARE(ui.texts(), QStringList{message});
    QCOMPARE(ui.messages[0].icon, MessageIcon::None);
    QCOMPARE(link(ws.blocks, 3, 1), std::make_pair(3, 7)); // found before stays
    QCOMPARE(link(ws.blocks, 3, 2), std::make_pair(0, 0)); // the rest is dropped
}

void TestNetlistImport::reimportClearsOldWiring()
{
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui,
                NetlistBuilder()
                    .comp("U3", "MUL", numbers(4))
                    .comp("U7", "SUM2_4", numbers(9))
                    .comp("D1", "INVERTOR")
                    .net({"U7:9", "D1:1", "U99:1"})
                    .net({"D1:2", "U3:1"})
                    .bytes());
    QCOMPARE(int(ws.blocks.invert_mask[3]), 1);
    importBytes(ws, ui, NetlistBuilder().comp("U3", "MUL", numbers(4)).bytes());
    QCOMPARE(ui.texts(), QStringList());
    QCOMPARE(int(ws.blocks.invert_mask[3]), 0);
    QCOMPARE(int(ws.blocks.journal_input_link[1]), 0);
    QCOMPARE(int(ws.blocks.block_type[7]), 0);
}

// ---- failures --------------------------------------------------------------------

void TestNetlistImport::failures_data()
{
    QTest::addColumn<QByteArray>("netlist");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("completed");
    const QString param3 = U("Ошибка параметра!!!Блок U3");

    QTest::newRow("block without attributes")
        << NetlistBuilder().comp("U3", "MUL").bytes() << QStringList{param3, kNetlistError + "3"} << false;
    QTest::newRow("pin above 8 on an ordinary block")
        << NetlistBuilder().comp("U3", "MUL", numbers(4)).comp("U7", "SUM2_4", numbers(9)).net({"U7:9", "U3:9"}).bytes()
        << QStringList{kNetlistError + "7"} << false;
    QTest::newRow("pin 0") << NetlistBuilder().comp("U3", "MUL", numbers(4)).net({"U98:1", "U3:0"}).bytes()
                           << QStringList{kNetlistError + "98"} << false;
    QTest::newRow("graph pin 34")
        << NetlistBuilder().comp("U7", "SUM2_4", numbers(9)).net({"U7:9", "U98:34"}).bytes()
        << QStringList{kNetlistError + "7"} << false;
    QTest::newRow("algorithm pin 34")
        << NetlistBuilder().comp("U7", "SUM2_4", numbers(9)).comp("U14", "ALG", {"1"}).net({"U7:9", "U14:34"}).bytes()
        << QStringList{kNetlistError + "7"} << false;
    QTest::newRow("output index below 0")
        << NetlistBuilder().comp("U7", "SUM2_4", numbers(9)).comp("U3", "MUL", numbers(4)).net({"U7:200", "U3:1"}).bytes()
        << QStringList{kNetlistError + "7"} << false;
    QTest::newRow("source block above 99")
        << NetlistBuilder().comp("U3", "MUL", numbers(4)).net({"U150:9", "U3:1"}).bytes()
        << QStringList{kNetlistError + "150"} << false;
    QTest::newRow("destination block above 99")
        << NetlistBuilder().comp("U7", "SUM2_4", numbers(9)).net({"U7:9", "U123:1"}).bytes()
        << QStringList{kNetlistError + "7"} << false;
    QTest::newRow("component number above 99")
        << NetlistBuilder().comp("U123", "MUL", numbers(4)).bytes() << QStringList{kNetlistError + "123"} << false;
    QTest::newRow("inverter into pin 9")
        << NetlistBuilder().comp("U3", "MUL", numbers(4)).comp("U7", "SUM2_4", numbers(9)).comp("D1", "INVERTOR")
               .net({"U7:9", "D1:1"}).net({"D1:2", "U3:9"}).bytes()
        << QStringList{kNetlistError + "1"} << false;
    QTest::newRow("attribute without value")
        << NetlistBuilder().line("(compInst \"U3\"").line("(compRef \"MUL\")").line("(originalName \"MUL\")")
               .line("(attr \"A\")").bytes()
        << QStringList{kNetlistError + "3"} << false;
    QTest::newRow("attributes run past the items")
        << NetlistBuilder().line("(compInst \"U3\"").line("(compRef \"MUL\")").line("(originalName \"MUL\")")
               .line("(attr \"A\" \"5\")").bytes()
        << QStringList{} << true;
    QTest::newRow("nets without a component")
        << NetlistBuilder().net({"U7:9", "U3:1"}).net({"D1:2", "U3:2"}).bytes() << QStringList{} << true;
}

void TestNetlistImport::failures()
{
    QFETCH(QByteArray, netlist);
    QFETCH(QStringList, messages);
    QFETCH(bool, completed);
    Workspace ws;
    ScriptedInteraction ui;
    const ImportResult r = importBytes(ws, ui, netlist);
    QCOMPARE(ui.texts(), messages);
    QCOMPARE(r.completed, completed);
    QCOMPARE(r.errorShown, !messages.isEmpty());
    for (const Message& m : ui.messages)
        QCOMPARE(m.icon, m.text.startsWith(U("Ошибка параметра")) ? MessageIcon::Error : MessageIcon::None);
    // whatever was built, every block's parameters and texts lie inside the stores
    for (int n = 0; n < BlockTable::kBlocks; ++n) {
        const int t = ws.blocks.block_type[n];
        QVERIFY(ws.blocks.param_base[n] >= 0 && ws.blocks.param_base[n] + ws.catalog.paramCount(t) <= BlockTable::kParams);
        QVERIFY(ws.blocks.text_base[n] >= 0 && ws.blocks.text_base[n] + ws.catalog.textCount(t) <= BlockTable::kTexts);
    }
}

// ---- whole files -----------------------------------------------------------------

void TestNetlistImport::boilerExample()
{
    Workspace ws;
    ScriptedInteraction ui;
    ImportResult r;
    QVERIFY(importNetlistFile(ws.blocks, ws.catalog, QStringLiteral(OSTREL_EXAMPLES "/boiler.net"), ui, &r));
    QCOMPARE(ui.texts(), QStringList());
    QVERIFY(r.completed);
    QVERIFY(!r.errorShown);
    QCOMPARE(r.blocks, 18); // 1..15 and the components at 97..99
    BlockTable& bt = ws.blocks;
    QCOMPARE(r.component[6], QStringLiteral("PID_IMPULS"));
    QCOMPARE(int(bt.block_type[6]), 26);
    QCOMPARE(bt.param(6, 0), 2.0f);
    QCOMPARE(int(bt.block_type[13]), 5);
    QCOMPARE(bt.param(13, 2), 4.0f); // 115200 baud
    QCOMPARE(bt.param(4, 3), 1.0f);  // "Импульс"
    QCOMPARE(bt.text(5, 8), U("Уставки котла"));
    QCOMPARE(bt.text(98, 33), U("Котел КВ-1,0"));
    QCOMPARE(bt.text(99, 4), U("Низкий уровень воды в котле"));
    QCOMPARE(int(bt.invert_mask[9]), 0x02);         // emergency stop through D1
    QCOMPARE(link(bt, 9, 2), std::make_pair(2, 3)); // D_I pin 3
    QCOMPARE(int(bt.journal_invert[0]), 0x08);
    QCOMPARE(link(bt, 4, 6), std::make_pair(0, 14)); // algorithm output pin 64
    QCOMPARE(int(bt.graph_input_link[0]), 0);
    QCOMPARE(int(bt.graph_input_link[1]), 1);
    QVERIFY(bt.block_type[14] == 45 && bt.block_type[97] == 43 && bt.block_type[98] == 41);
    for (int n = 1; n <= 76; ++n)
        if (bt.block_type[n] == 45)
            QCOMPARE(n, 14);
}

void TestNetlistImport::newProjectReset()
{
    Workspace ws;
    ScriptedInteraction ui;
    importBytes(ws, ui,
                NetlistBuilder()
                    .comp("U2", "RS485", {"1", "9600"})
                    .comp("U14", "ALG", {"1"})
                    .comp("U96", "ALG", {"1"})
                    .bytes());
    BlockTable& bt = ws.blocks;
    bt.text(2, 47) = "abc";
    for (int n : {14, 96}) {
        bt.text(n, 5) = "9";
        bt.text(n, 41 * 3 + 39) = "7";
        bt.param(n, 128) = 5;
    }
    bt.param(14, 0) = 3;
    resetNewProjectBlocks(ws.blocks, ws.catalog);
    QCOMPARE(bt.text(2, 47), QStringLiteral("0"));
    for (int n : {14, 96}) {
        QCOMPARE(bt.text(n, 5), QStringLiteral("0"));
        QCOMPARE(bt.text(n, 41 * 3 + 39), QStringLiteral("128"));
        QCOMPARE(bt.text(n, 41 * 127 + 20), QStringLiteral("1"));
        QCOMPARE(bt.text(n, 41 * 127 + 21), QStringLiteral("0"));
        QCOMPARE(bt.param(n, 128), 0.0f);
    }
    QCOMPARE(bt.param(14, 0), 3.0f); // the block number parameter stays
}

QTEST_GUILESS_MAIN(TestNetlistImport)
#include "test_netlist_import.moc"
