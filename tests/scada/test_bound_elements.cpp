// The output and setpoint lists the element dialogs offer, the parameter and
// text-signal font mappings and the text-signal field labels.
#include "scada/bound_elements.h"
#include "scada/output_list.h"
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"

#include <QTest>
#include <memory>

using namespace ostrel;

class BoundElementsTest : public QObject {
    Q_OBJECT
private slots:
    void outputEntries_data();
    void outputEntries();
    void setpointEntries_data();
    void setpointEntries();
    void blockField_data();
    void blockField();
    void parametrFonts_data();
    void parametrFonts();
    void textSignalFonts();
    void textSignalLabels();

private:
    BlockCatalog catalog;
};

void BoundElementsTest::outputEntries_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("head");   // the first entries
    QTest::addColumn<QString>("last");
    QTest::newRow("no block: two zeros") << 0 << 2 << QStringList{"0", "0"} << "0";
    QTest::newRow("placeholder type 7") << 7 << 2 << QStringList{"0", "0"} << "0";
    QTest::newRow("A_O, no outputs") << 2 << 2 << QStringList{"0", "0"} << "0";
    QTest::newRow("A_I counts up") << 1 << 16 << QStringList{"1", "2", "3"} << "16";
    QTest::newRow("D_I") << 3 << 8 << QStringList{"1", "2"} << "8";
    QTest::newRow("SUM counts down") << 10 << 4 << QStringList{"12", "11", "10", "9"} << "9";
    QTest::newRow("RTC one output") << 30 << 1 << QStringList{"8"} << "8";
    QTest::newRow("INV one pin pair") << 49 << 1 << QStringList{"0"} << "0";
    QTest::newRow("ALG 32 outputs") << 45 << 32 << QStringList{"64", "63"} << "33";
    QTest::newRow("SCA capped at 33") << 43 << 33 << QStringList{"33", "34", "67", "68"} << "0";
    QTest::newRow("REP capped at 33") << 48 << 33 << QStringList{"0"} << "0";
    QTest::newRow("TOU capped at 33") << 50 << 33 << QStringList{"0"} << "0";
}

void BoundElementsTest::outputEntries()
{
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(QStringList, head);
    QFETCH(QString, last);
    const QStringList entries = ostrel::outputEntries(catalog, type);
    QCOMPARE(entries.size(), count);
    QCOMPARE(entries.mid(0, head.size()), head);
    QCOMPARE(entries.last(), last);
}

void BoundElementsTest::setpointEntries_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("entry");
    QTest::newRow("no setpoints: only 1") << 0 << 1 << 0 << "1";
    QTest::newRow("S_P 1..8") << 25 << 8 << 7 << "8";
    QTest::newRow("CMP 1..6") << 35 << 6 << 5 << "6";
    QTest::newRow("COD numbers end at 96") << 31 << 99 << 95 << "96";
    QTest::newRow("COD PAR entries follow") << 31 << 99 << 96 << "PAR1(ADR_SP)";
    QTest::newRow("COD last") << 31 << 99 << 98 << "PAR3(ADR_SP)";
    QTest::newRow("ALG first input setpoint") << 45 << 128 << 96 << " SP(INP0)";
    QTest::newRow("ALG last: position 127") << 45 << 128 << 127 << " SP(INP31)";
}

void BoundElementsTest::setpointEntries()
{
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(int, position);
    QFETCH(QString, entry);
    const QStringList entries = ostrel::setpointEntries(catalog, type);
    QCOMPARE(entries.size(), count);
    QCOMPARE(entries.at(position), entry);
    QVERIFY(entries.size() <= 128);
}

void BoundElementsTest::blockField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("setpoints");
    QTest::addColumn<QStringList>("entries");
    const QStringList sum{"12", "11", "10", "9"};
    const QStringList none{"0", "0"};
    QTest::newRow("block 5") << "5" << false << sum;
    QTest::newRow("negative reads as its value") << "-5" << false << sum;
    QTest::newRow("fraction rounds") << " 4,6 " << false << sum;
    QTest::newRow("not a number reads as 0") << "abc" << false << none;
    QTest::newRow("empty") << "" << false << none;
    QTest::newRow("free number") << "6" << false << none;
    QTest::newRow("block 100") << "100" << false << none;
    QTest::newRow("beyond the table") << "150" << false << none;
    QTest::newRow("huge") << "99999999999" << false << none;
    QTest::newRow("setpoints of a free number") << "6" << true << QStringList{"1"};
    QTest::newRow("setpoints of S_P") << "20" << true << QStringList{"1", "2", "3", "4", "5", "6", "7", "8"};
}

void BoundElementsTest::blockField()
{
    QFETCH(QString, field);
    QFETCH(bool, setpoints);
    QFETCH(QStringList, entries);
    auto blocks = std::make_unique<BlockTable>();
    blocks->block_type[5] = 10;
    blocks->block_type[20] = 25;
    QCOMPARE(bindingEntries(*blocks, catalog, field, setpoints), entries);
}

void BoundElementsTest::parametrFonts_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("written");
    QTest::newRow("10") << 10 << 0 << 10;
    QTest::newRow("14") << 14 << 1 << 14;
    QTest::newRow("18") << 18 << 2 << 18;
    QTest::newRow("25") << 25 << 3 << 25;
    QTest::newRow("24 is the time display") << 24 << 4 << 24;
    QTest::newRow("0 after a delete: nearest is 10") << 0 << 0 << 10;
    QTest::newRow("8 at start") << 8 << 0 << 10;
    QTest::newRow("29 toward zero") << 29 << 3 << 25;
    QTest::newRow("255: nearest is 25") << 255 << 3 << 25;
}

void BoundElementsTest::parametrFonts()
{
    QFETCH(int, stored);
    QFETCH(int, position);
    QFETCH(int, written);
    QCOMPARE(parametrFontPosition(stored), position);
    QCOMPARE(int(parametrFontOfPosition(position)), written);
}

void BoundElementsTest::textSignalFonts()
{
    const QList<std::pair<int, int>> cases{{10, 0}, {14, 1}, {0, 0}, {11, 0}, {12, 1}, {18, 1}, {255, 1}};
    for (const auto& [font, position] : cases) {
        QCOMPARE(textSignalFontPosition(font), position);
        QCOMPARE(int(textSignalFontOfPosition(position)), position == 0 ? 10 : 14);
    }
}

void BoundElementsTest::textSignalLabels()
{
    QCOMPARE(textSignalOffLabel(0), QStringLiteral("Текст сигнала Выкл."));
    QCOMPARE(textSignalOnLabel(0), QStringLiteral("Текст сигнала Вкл."));
    QCOMPARE(textSignalOffLabel(1), QStringLiteral("Текст сигнала №0"));
    QCOMPARE(textSignalOnLabel(1), QStringLiteral("Текст сигнала №1"));
    QCOMPARE(textSignalOffLabel(31), QStringLiteral("Текст сигнала №60"));
    QCOMPARE(textSignalOnLabel(31), QStringLiteral("Текст сигнала №61"));
}

QTEST_GUILESS_MAIN(BoundElementsTest)
#include "test_bound_elements.moc"
