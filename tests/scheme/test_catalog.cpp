#include "scheme/block_catalog.h"

#include <QtTest>

using namespace ostrel;

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }
} // namespace

class TestCatalog : public QObject {
    Q_OBJECT
private slots:
    void typeRecords_data();
    void typeRecords();
    void placeholderNumbersAndOutOfRange();
    void outputs_data();
    void outputs();
    void versionCounts_data();
    void versionCounts();
    void rowCaptions_data();
    void rowCaptions();
    void editorRows_data();
    void editorRows();
    void sensorAndBaudLists();
    void codeLookup();
    void descriptionsAgreeWithTheirType();
};

void TestCatalog::typeRecords_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("params");
    QTest::addColumn<int>("texts");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("firstOut");
    QTest::addColumn<int>("outEnd");
    QTest::addColumn<int>("setpointMax");
    QTest::newRow("A_I") << 1 << "A_I" << 29 << 0 << 0 << 1 << 16 << 0;
    QTest::newRow("RS4") << 5 << "RS4" << 3 << 48 << 1 << 9 << 17 << 0;
    QTest::newRow("S_P") << 25 << "S_P" << 8 << 9 << 17 << 2 << 10 << 7;
    QTest::newRow("PID") << 26 << "PID" << 18 << 0 << 0 << 9 << 14 << 7;
    QTest::newRow("PRO") << 28 << "PRO" << 137 << 0 << 0 << 5 << 9 << 95;
    QTest::newRow("PAN") << 29 << "PAN" << 14 << 5 << 17 << 9 << 17 << 0;
    QTest::newRow("COD") << 31 << "COD" << 100 << 0 << 0 << 6 << 9 << 95;
    QTest::newRow("CMP") << 35 << "CMP" << 6 << 0 << 0 << 5 << 11 << 5;
    QTest::newRow("TIM") << 36 << "TIM" << 5 << 0 << 0 << 9 << 17 << 3;
    QTest::newRow("GRA") << 41 << "GRA" << 99 << 34 << 17 << 100 << 100 << 0;
    QTest::newRow("JUR") << 42 << "JUR" << 82 << 33 << 40 << 33 << 41 << 0;
    QTest::newRow("SCA") << 43 << "SCA" << 1 << 0 << 0 << 32 << 100 << 0;
    QTest::newRow("ALG") << 45 << "ALG" << 129 << 5248 << 1 << 33 << 65 << 95;
    QTest::newRow("REP") << 48 << "REP" << 0 << 16 << 17 << 17 << 100 << 0;
    QTest::newRow("INV") << 49 << "INV" << 0 << 0 << 0 << 2 << 3 << 0;
    QTest::newRow("TOU at start") << 50 << "TOU" << 0 << 0 << 0 << 1 << 256 << 0;
}

void TestCatalog::typeRecords()
{
    QFETCH(int, type);
    const BlockCatalog cat;
    { QFETCH(QString, code); QCOMPARE(cat.typeCode(type), code); }
    { QFETCH(int, params); QCOMPARE(cat.paramCount(type), params); }
    { QFETCH(int, texts); QCOMPARE(cat.textCount(type), texts); }
    { QFETCH(int, width); QCOMPARE(cat.textWidth(type), width); }
    { QFETCH(int, firstOut); QCOMPARE(cat.firstOutPin(type), firstOut); }
    { QFETCH(int, outEnd); QCOMPARE(cat.outEndPin(type), outEnd); }
    { QFETCH(int, setpointMax); QCOMPARE(cat.setpointMax(type), setpointMax); }
}

void TestCatalog::placeholderNumbersAndOutOfRange()
{
    const BlockCatalog cat;
    for (int t : {7, 8, 14, 15, 16, 22, 23, 24, 32, 39, 40, 0, -1, 51, 1000}) {
        QCOMPARE(cat.typeCode(t), QStringLiteral("NO_"));
        QCOMPARE(cat.paramCount(t), 0);
        QCOMPARE(cat.textCount(t), 0);
        QCOMPARE(cat.firstOutPin(t), 100);
        QCOMPARE(cat.outEndPin(t), 100);
        QCOMPARE(cat.outputCount(t), 0);
        QVERIFY(!cat.row(t, 0).visible());
    }
    // A placeholder code is still a code: "NO_" names give type 7.
    QCOMPARE(cat.typeForCode(QStringLiteral("NO_")), 7);
}

void TestCatalog::outputs_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("labels"); // label of index 0, 1, ... (prefix)
    QTest::newRow("A_I") << 1 << 16 << QList<int>{1, 2, 3};
    QTest::newRow("D_I") << 3 << 8 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8};
    QTest::newRow("SUM") << 10 << 4 << QList<int>{12, 11, 10, 9};
    QTest::newRow("SQR") << 12 << 4 << QList<int>{8, 7, 6, 5};
    QTest::newRow("S_P") << 25 << 8 << QList<int>{9, 8, 7, 6, 5, 4, 3, 2};
    QTest::newRow("RTC") << 30 << 1 << QList<int>{8};
    QTest::newRow("COD") << 31 << 3 << QList<int>{8, 7, 6};
    QTest::newRow("JUR") << 42 << 8 << QList<int>{40, 39};
    QTest::newRow("ALG") << 45 << 32 << QList<int>{64, 63};
    QTest::newRow("A_O none") << 2 << 0 << QList<int>{};
    QTest::newRow("SCA pins") << 43 << 8 << QList<int>{33, 34, 67, 68, 101, 102, 135, 136};
    QTest::newRow("REP none") << 48 << 0 << QList<int>{};
    QTest::newRow("TOU none") << 50 << 0 << QList<int>{};
}

void TestCatalog::outputs()
{
    QFETCH(int, type);
    QFETCH(QList<int>, labels);
    const BlockCatalog cat;
    { QFETCH(int, count); QCOMPARE(cat.outputCount(type), count); }
    for (int j = 0; j < labels.size(); ++j)
        QCOMPARE(cat.outputLabel(type, j), labels[j]);
    QCOMPARE(cat.outputLabel(type, cat.outputCount(type)), 0);
    QCOMPARE(cat.outputLabel(type, -1), 0);
    if (type == 1 || type == 3)
        QCOMPARE(cat.outputLabel(type, cat.outputCount(type) - 1), cat.outputCount(type));
}

void TestCatalog::versionCounts_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("rsTexts");
    QTest::addColumn<int>("touchParams");
    QTest::newRow("4.5") << 5 << 48 << 1;
    QTest::newRow("4.2") << 3 << 0 << 1;
    QTest::newRow("3.0") << 0 << 0 << 0;
    QTest::newRow("1.3") << 1 << 0 << 0;
}

void TestCatalog::versionCounts()
{
    QFETCH(int, version);
    BlockCatalog cat;
    cat.applyVersion(version);
    { QFETCH(int, rsTexts); QCOMPARE(cat.textCount(5), rsTexts); }
    { QFETCH(int, touchParams); QCOMPARE(cat.paramCount(50), touchParams); }
    // Switching back restores the start-up counts of version 4.5.
    cat.applyVersion(5);
    QCOMPARE(cat.textCount(5), 48);
    QCOMPARE(cat.paramCount(50), 1);
}

void TestCatalog::rowCaptions_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("subtype");
    QTest::addColumn<QString>("caption");
    QTest::newRow("PID relay row 1") << 26 << 1 << 4 << U("Задание 1");
    QTest::newRow("PID relay row 9") << 26 << 9 << 4 << U("-------- ");
    QTest::newRow("PID analog row 1") << 26 << 1 << 0 << U("МАХ");
    QTest::newRow("PID analog 2 row 2") << 26 << 2 << 1 << U("Ограничение л");
    QTest::newRow("PID impulse 2 row 6") << 26 << 6 << 3 << U("Зона");
    QTest::newRow("PID type row fixed") << 26 << 0 << 4 << U("Тип");
    QTest::newRow("UNI If_Then row 4") << 46 << 4 << 2 << U("Задержка 1");
    QTest::newRow("UNI menu row 1") << 46 << 1 << 1 << U("Номер блока  ");
    QTest::newRow("UNI menu row 8") << 46 << 8 << 1 << U("Нет параметра");
    QTest::newRow("UNI ГА row 2") << 46 << 2 << 4 << U("Таймер 7");
    QTest::newRow("UNI graph row 8") << 46 << 8 << 10 << U("Нет");
    QTest::newRow("UNI filter row 8") << 46 << 8 << 9 << U("Таймер 4");
    QTest::newRow("SUM 2 sum row 3") << 10 << 3 << 1 << U("Смещение 2");
    QTest::newRow("SUM 8 row 8") << 10 << 8 << 2 << U("k*вход 8");
    QTest::newRow("SUM row 0") << 10 << 0 << 0 << U("Смещение");
    QTest::newRow("SUM type row") << 10 << 9 << 2 << U("Тип");
    QTest::newRow("PID subtype out of range") << 26 << 1 << 9 << U("МАХ");
    QTest::newRow("PID negative subtype") << 26 << 1 << -3 << U("МАХ");
    QTest::newRow("OSC trailing blank") << 38 << 3 << 0 << U("Импульс ");
    QTest::newRow("GRA trailing blank") << 41 << 3 << 0 << U("Шкала min ");
    QTest::newRow("hidden row") << 30 << 6 << 0 << QString();
    QTest::newRow("row beyond 16") << 25 << 17 << 0 << QString();
}

void TestCatalog::rowCaptions()
{
    QFETCH(int, type);
    QFETCH(int, row);
    QFETCH(int, subtype);
    const BlockCatalog cat;
    { QFETCH(QString, caption); QCOMPARE(cat.rowCaption(type, row, subtype), caption); }
}

void TestCatalog::editorRows_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("items");
    QTest::addColumn<QString>("lastItem");
    QTest::addColumn<int>("param");
    QTest::addColumn<int>("text");
    const int num = int(RowKind::Number), nm = int(RowKind::Name), lst = int(RowKind::List), sel = int(RowKind::Selector);
    QTest::newRow("A_I net") << 1 << 0 << lst << 16 << "16" << 0 << -1;
    QTest::newRow("A_I channel") << 1 << 1 << sel << 4 << "4" << -1 << -1;
    QTest::newRow("A_I input types") << 1 << 2 << lst << 15 << U("4-20мА") << -1 << -1;
    QTest::newRow("A_I filter") << 1 << 8 << num << 0 << QString() << -1 << -1;
    QTest::newRow("A_O output types") << 2 << 2 << lst << 5 << U("Ручное") << -1 << -1;
    QTest::newRow("D_O types") << 4 << 2 << lst << 4 << U("Шаговый мотор") << -1 << -1;
    QTest::newRow("RS4 net") << 5 << 0 << lst << 128 << "128" << 0 << -1;
    QTest::newRow("RS4 kind") << 5 << 1 << lst << 5 << "5" << 1 << -1;
    QTest::newRow("RS4 baud") << 5 << 2 << lst << 5 << "115200" << 2 << -1;
    QTest::newRow("SUM offset") << 10 << 0 << num << 0 << QString() << 8 << -1;
    QTest::newRow("SUM gain 1") << 10 << 1 << num << 0 << QString() << 0 << -1;
    QTest::newRow("S_P name 8") << 25 << 14 << nm << 0 << QString() << -1 << 7;
    QTest::newRow("S_P setpoint 8") << 25 << 15 << num << 0 << QString() << 7 << -1;
    QTest::newRow("S_P block name") << 25 << 16 << nm << 0 << QString() << -1 << 8;
    QTest::newRow("PID last number") << 26 << 11 << num << 0 << QString() << 17 << -1;
    QTest::newRow("PID type") << 26 << 0 << lst << 5 << U("Реле 2") << 0 << -1;
    QTest::newRow("MUX") << 27 << 0 << lst << 5 << "-------" << 0 << -1;
    QTest::newRow("PRO steps") << 28 << 0 << lst << 32 << U("Программа 4 Шаг 8 (32)") << 0 << -1;
    QTest::newRow("PRO program") << 28 << 5 << lst << 4 << "4" << 136 << -1;
    QTest::newRow("PAN setpoint") << 29 << 6 << num << 0 << QString() << -1 << -1;
    QTest::newRow("PAN limit 4") << 29 << 13 << num << 0 << QString() << 13 << -1;
    QTest::newRow("PAN channel 4") << 29 << 5 << nm << 0 << QString() << -1 << 4;
    QTest::newRow("COD step") << 31 << 0 << sel << 32 << U("Шаг 32") << -1 << -1;
    QTest::newRow("COD block") << 31 << 4 << lst << 8 << "8" << 0 << -1;
    QTest::newRow("TIM type") << 36 << 0 << lst << 4 << " " << 0 << -1;
    QTest::newRow("GRA channel") << 41 << 0 << lst << 32 << "32" << 33 << -1;
    QTest::newRow("GRA name") << 41 << 2 << nm << 0 << QString() << -1 << 33;
    QTest::newRow("JUR event kinds") << 42 << 2 << lst << 16 << "SCADA 8" << -1 << -1;
    QTest::newRow("SCA pages") << 43 << 0 << sel << 8 << U("Стр. 8") << -1 << -1;
    QTest::newRow("SCA buttons") << 43 << 1 << sel << 24 << U("Кн. 24") << -1 << -1;
    QTest::newRow("UNI type") << 46 << 0 << lst << 11 << U("График ПУСК/СТОП") << 0 << -1;
    QTest::newRow("REP name 16") << 48 << 15 << nm << 0 << QString() << -1 << 15;
    QTest::newRow("SYS no rows") << 6 << 0 << int(RowKind::Hidden) << 0 << QString() << -1 << -1;
    QTest::newRow("TOU no rows") << 50 << 0 << int(RowKind::Hidden) << 0 << QString() << -1 << -1;
}

void TestCatalog::editorRows()
{
    QFETCH(int, type);
    QFETCH(int, row);
    QFETCH(int, items);
    QFETCH(QString, lastItem);
    const BlockCatalog cat;
    const EditorRow& r = cat.row(type, row);
    { QFETCH(int, kind); QCOMPARE(int(r.kind), kind); }
    QCOMPARE(r.itemCount(), items);
    if (items > 0)
        QCOMPARE(r.items.last(), lastItem);
    { QFETCH(int, param); QCOMPARE(r.fixedParam(), param); }
    { QFETCH(int, text); QCOMPARE(r.fixedText(), text); }
    QVERIFY(int(cat.info(type).rows.size()) <= BlockCatalog::kRows);
}

void TestCatalog::sensorAndBaudLists()
{
    const QStringList& s = BlockCatalog::sensorTypes();
    QCOMPARE(s.size(), 16);
    QCOMPARE(s[1], U("50П ")); // three-character names carry a trailing blank
    QCOMPARE(s[7], QStringLiteral("Pt100"));
    QCOMPARE(s[14], U("4-20мА"));
    QVERIFY(s[15].isEmpty());
    QCOMPARE(BlockCatalog::baudList(),
             QStringList({"9600", "19200", "38400", "57600", "115200"}));
}

void TestCatalog::codeLookup()
{
    const BlockCatalog cat;
    QCOMPARE(cat.typeForCode(QStringLiteral("PID")), 26);
    QCOMPARE(cat.typeForCode(QStringLiteral("OR_")), 18);
    QCOMPARE(cat.typeForCode(QStringLiteral("TOU")), 50);
    QCOMPARE(cat.typeForCode(QStringLiteral("RS4")), 5);
    QCOMPARE(cat.typeForCode(QStringLiteral("XYZ")), 0);
    QCOMPARE(cat.typeForCode(QString()), 0);
}

// The per-type descriptions checked against the type's own counts: a slip in
// the attribute table would write into a neighbour block, a form name that
// does not begin with the code could never be met, a text form must fit the
// text width.
void TestCatalog::descriptionsAgreeWithTheirType()
{
    BlockCatalog cat;
    cat.applyVersion(5); // the largest counts: 48 RS485 texts, 1 touch parameter
    for (int type = 1; type <= BlockCatalog::kTypes; ++type) {
        const BlockTypeInfo& info = cat.info(type);
        const QByteArray where = info.code.toLatin1() + " " + QByteArray::number(type);
        switch (info.textForm) {
        case TextForm::None: QVERIFY2(info.text_count == 0 && info.text_width == 0, where); break;
        case TextForm::Number:
        case TextForm::Steps: QVERIFY2(info.text_count > 0 && info.text_width == 1, where); break;
        case TextForm::Padded: QVERIFY2(info.text_count > 0 && info.text_width >= 17, where); break;
        }
        const AttributeMap& map = info.attributes;
        for (const ComponentForm& f : map.forms)
            QVERIFY2(QString::fromLatin1(f.component).startsWith(info.code), where);
        QVERIFY2(!map.formRequired || !map.forms.empty(), where);
        for (const AttrRun& run : map.runs) {
            QVERIFY2(run.fieldCount() > 0 && run.records > 0, where);
            bool formKnown = run.form == AttrRun::kAnyForm;
            for (const ComponentForm& f : map.forms)
                formKnown = formKnown || f.form == run.form;
            QVERIFY2(formKnown, where);
            for (int f = 0; f < run.fieldCount(); ++f) {
                const AttrField& field = run.fields[f];
                const int last = field.index + run.step * (run.records - 1);
                QVERIFY2(field.index >= 0, where);
                switch (field.read) {
                case AttrRead::Text: QVERIFY2(last < info.text_count, where); break;
                case AttrRead::Form: QVERIFY2(!map.forms.empty() && last < info.param_count, where); break;
                case AttrRead::AutomatSteps: QVERIFY2(field.index + 3 * 32 <= info.param_count, where); break;
                case AttrRead::SavedAlgorithm: QCOMPARE(type, int(kAlgorithm)); break;
                default:
                    // The journal's last event coordinate lands on p82, one past
                    // its own parameters, as the import has always placed it.
                    if (type == kJournal && field.index == 51)
                        QCOMPARE(last, int(info.param_count));
                    else
                        QVERIFY2(last < info.param_count, where);
                    break;
                }
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestCatalog)
#include "test_catalog.moc"
