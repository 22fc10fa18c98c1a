// The project file: line formats, the layout line by line, the round trip,
// restoring edited values, failed saves and bad input.
#include "project/project_format.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "project_fixture.h"
#include "platform/checked_file.h"
#include "scada/page_painter.h"
#include "support/scripted_interaction.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <cfloat>
#include <cmath>
#include <csignal>
#include <cstring>
#include <limits>
#include <memory>
#include <sys/resource.h>

using namespace ostrel;
using namespace ostrel::project;

namespace {

std::unique_ptr<Workspace> newWorkspace()
{
    return std::make_unique<Workspace>();
}

QStringList linesOf(const QByteArray& bytes)
{
    QStringDecoder dec("windows-1251");
    QString text = dec.decode(bytes);
    Q_ASSERT(text.endsWith(QLatin1String("\r\n")));
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A workspace with the small scheme imported from `folder`, pages and the
// algorithm filled and some values edited after the import.
std::unique_ptr<Workspace> filledWorkspace(const QString& folder, int version)
{
    auto ws = newWorkspace();
    ws->selectVersion(uint8_t(version));
    const bool imported = fixture::importScheme(*ws, folder + "/scheme.net", fixture::smallScheme());
    Q_ASSERT(imported);
    ws->settings.project_name = QStringLiteral("Котельная");
    ws->settings.link_port = 3;
    ws->settings.controller_number = 2;
    ws->settings.ip_address = QStringLiteral("192.168.0.7");
    ws->settings.tcp_port = 502;
    fixture::fillPages(ws->pages);
    fixture::fillAlgorithm(*ws, 14, 0);
    ws->blocks.param(12, 4) = 0.5f;
    ws->blocks.param(12, 11) = -1234.567f;
    ws->blocks.param(3, 1) = 1e-9f;
    ws->blocks.text(20, 0) = QStringLiteral("Т подачи, °C");
    ws->report_reserve.value = 7;
    ws->report_reserve.texts[16] = QStringLiteral("резерв");
    return ws;
}

} // namespace

class ProjectFileTest : public QObject {
    Q_OBJECT
private slots:
    void parameterFormat_data();
    void parameterFormat();
    void parameterTextIsStableAfterOneReread();
    void numberAndReferenceFormats();
    void layoutOfNewProject_data();
    void layoutOfNewProject();
    void recordFieldsInFileOrder();
    void charactersTheFileCannotHold();
    void blockSections();
    void versionDependentBlockSections();
    void roundTrip_data();
    void roundTrip();
    void editedValuesSurviveReopen();
    void typeChangedInNetlistTakesNetlistValues();
    void twoAlgorithmBlocksKeepTheirPrograms();
    void controlPictureNamesShortened();
    void settingsTabsAndLink();
    void versionFromFirstLine_data();
    void versionFromFirstLine();
    void failedSaveKeepsOldFile();
    void companionsCopied();
    void referencesNameTheCopies_data();
    void referencesNameTheCopies();
    void controlPicturesCopied();
    void failedCompanionCopyReported_data();
    void failedCompanionCopyReported();
    void missingNetlistBuildsSchemeFromFile();
    void failedImportKeepsStoredScheme_data();
    void failedImportKeepsStoredScheme();
    void truncatedAnywhere();
    void badInput_data();
    void badInput();
    void utf8ProjectRefused_data();
    void utf8ProjectRefused();
    void exampleProjectOpensAndResavesUnchanged();
};

void ProjectFileTest::parameterFormat_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("point");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0f << "." << " 0 ";
    QTest::newRow("negative zero") << -0.0f << "." << " 0 ";
    QTest::newRow("integer") << 42.0f << "." << " 42 ";
    QTest::newRow("negative integer") << -3.0f << "." << "-3 ";
    QTest::newRow("one and a half") << 1.5f << "." << " 1.5 ";
    QTest::newRow("half, dot") << 0.5f << "." << " .5 ";
    QTest::newRow("half, comma") << 0.5f << "," << " ,5 ";
    QTest::newRow("minus half") << -0.5f << "." << "-.5 ";
    QTest::newRow("tenth") << 0.1f << "." << " .1 ";
    QTest::newRow("seven digits") << 123.4567f << "," << " 123,4567 ";
    QTest::newRow("rounded to seven") << 3.14159265f << "." << " 3.141593 ";
    QTest::newRow("third") << (1.0f / 3.0f) << "." << " .3333333 ";
    QTest::newRow("largest fixed") << 9999999.0f << "." << " 9999999 ";
    QTest::newRow("1E+07") << 1e7f << "." << " 1E+07 ";
    QTest::newRow("1E+08") << 1e8f << "." << " 1E+08 ";
    QTest::newRow("eight digits") << 12345678.0f << "." << " 1.234568E+07 ";
    QTest::newRow("large negative, comma") << -2.5e10f << "," << "-2,5E+10 ";
    QTest::newRow("small fixed") << 0.001234f << "." << " .001234 ";
    QTest::newRow("1E-07 fits seven places") << 1e-7f << "." << " .0000001 ";
    QTest::newRow("1.5E-07") << 1.5e-7f << "." << " 1.5E-07 ";
    QTest::newRow("1E-05 fits seven places") << 1e-5f << "." << " .00001 ";
    QTest::newRow("seven digits after three zeros") << 0.0001234567f << "." << " 1.234567E-04 ";
    QTest::newRow("1.234568E-05") << 1.2345678e-5f << "." << " 1.234568E-05 ";
    QTest::newRow("negative tiny") << -1e-10f << "." << "-1E-10 ";
    QTest::newRow("float max") << FLT_MAX << "." << " 3.402823E+38 ";
    QTest::newRow("denormal") << std::numeric_limits<float>::denorm_min() << "." << " 1.401298E-45 ";
    QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << "." << " 3.402823E+38 ";
    QTest::newRow("minus infinity") << -std::numeric_limits<float>::infinity() << "." << "-3.402823E+38 ";
    QTest::newRow("nan") << std::numeric_limits<float>::quiet_NaN() << "." << " 0 ";
}

void ProjectFileTest::parameterFormat()
{
    QFETCH(float, value);
    QFETCH(QString, point);
    QFETCH(QString, expected);
    QCOMPARE(formatParameter(value, point), expected);
    // Every formatted value reads back (either separator) to a value that
    // prints the same.
    float back = 1.0f;
    QVERIFY(parseParameter(expected, &back));
    QCOMPARE(formatParameter(back, point), expected);
}

void ProjectFileTest::parameterTextIsStableAfterOneReread()
{
    // Seven digits do not identify every float, but the text read back and
    // written again must not drift.
    uint32_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1664525u + 1013904223u;
        float v;
        const uint32_t bits = x & 0xff7fffffu; // no NaN/Inf patterns
        std::memcpy(&v, &bits, sizeof v);
        const QString once = formatParameter(v, u",");
        float back = 0.0f;
        QVERIFY(parseParameter(once, &back));
        QCOMPARE(formatParameter(back, u","), once);
    }
    float v = 7.0f;
    QVERIFY(!parseParameter(u"abc", &v));
    QCOMPARE(v, 0.0f);
    QVERIFY(parseParameter(u"  ,25 ", &v));
    QCOMPARE(v, 0.25f);
    QVERIFY(parseParameter(u"1E+99", &v));
    QCOMPARE(v, FLT_MAX);
}

void ProjectFileTest::numberAndReferenceFormats()
{
    QCOMPARE(formatNumber(5), QStringLiteral(" 5 "));
    QCOMPARE(formatNumber(0), QStringLiteral(" 0 "));
    QCOMPARE(formatNumber(-32768), QStringLiteral("-32768 "));
    QCOMPARE(parseLeadingInteger(u" 502abc"), 502);
    QCOMPARE(parseLeadingInteger(u"-7 "), -7);
    QCOMPARE(parseLeadingInteger(u"x"), 0);

    QCOMPARE(netlistReference("/home/u/boiler.net"), QStringLiteral("\\boiler.net"));
    QCOMPARE(netlistReference("C:\\proj\\boiler.net"), QStringLiteral("\\boiler.net"));
    QCOMPARE(netlistReference(kNoNetlist), QString());
    QCOMPARE(netlistReference("boiler.net"), QString());
    QCOMPARE(pathInFolder("/p", u"\\boiler.net"), QStringLiteral("/p/boiler.net"));
    QCOMPARE(pathInFolder("/p", u"\\..\\..\\etc\\passwd"), QStringLiteral("/p/passwd"));
    QCOMPARE(pathInFolder("/p", u"\\.."), QStringLiteral("/p/"));
    QCOMPARE(shortenedPictureName("C:\\pics\\btn.gif"), QStringLiteral("\\btn.gif"));
    QCOMPARE(shortenedPictureName("/home/u/btn.gif"), QStringLiteral("\\btn.gif"));
    QCOMPARE(shortenedPictureName("btn.gif"), QStringLiteral("btn.gif"));
    QCOMPARE(elementLabel(1, kLabelParametr, 3), QStringLiteral("Страница SCADA  - 1Параметр - 3"));
}

void ProjectFileTest::layoutOfNewProject_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("line");     // 1-based
    QTest::addColumn<QString>("text");
    // Hand-worked positions for a new project (no blocks): settings end at
    // line 7, backgrounds 8..23, kinds 24..32, grid header 33, grid 34..37,
    // section 12 = 18711 lines from 38; with mechanisms 7425 more.
    const QString s = QStringLiteral("Страница SCADA  - ");
    QTest::newRow("v5 first line") << 5 << 1 << "5*************** Проект Ostrel ****************";
    QTest::newRow("v5 name") << 5 << 2 << "";
    QTest::newRow("v5 link port") << 5 << 3 << " 1 ";
    QTest::newRow("v5 controller") << 5 << 6 << " 1 ";
    QTest::newRow("v5 netlist ref") << 5 << 7 << "";
    QTest::newRow("v5 last background kind") << 5 << 32 << " 0 ";
    QTest::newRow("v5 grid header") << 5 << 33 << "*************** Параметры координатной сетки ****************";
    QTest::newRow("v5 grid step") << 5 << 34 << " 1 ";
    QTest::newRow("v5 first label") << 5 << 38 << s + "1Параметр - 0";
    QTest::newRow("v5 parameter font") << 5 << 45 << " 8 ";
    QTest::newRow("v5 signal label") << 5 << 49 << s + "1Сигнал - 0";
    QTest::newRow("v5 text signal font") << 5 << 65 << " 10 ";
    QTest::newRow("v5 go-to label") << 5 << 86 << s + "1Блок - 0";
    QTest::newRow("v5 figure label") << 5 << 92 << s + "1Фигура - 0";
    QTest::newRow("v5 second slot") << 5 << 101 << s + "1Параметр - 1";
    QTest::newRow("v5 last figure label") << 5 << 18740 << s + "9Фигура - 32";
    QTest::newRow("v5 mechanisms") << 5 << 18749 << s + "1Вентилятор - 0";
    QTest::newRow("v5 reserve line") << 5 << 18758 << "Reserv";
    QTest::newRow("v5 texts") << 5 << 26174 << s + "1Текст - 0";
    QTest::newRow("v5 fill colours") << 5 << 32024 << s + "1Фон SCADA - 0";
    QTest::newRow("v5 graphs") << 5 << 32040 << s + "1График - 0";
    QTest::newRow("v5 clocks") << 5 << 32103 << s + "1Часы - 0";
    QTest::newRow("v5 last clock") << 5 << 32135 << s + "9Часы - 8";
    QTest::newRow("v5 controls") << 5 << 32139 << s + "1Управление - 0";
    QTest::newRow("v5 menus") << 5 << 35109 << s + "1Меню - 0";
    QTest::newRow("v5 scheme header") << 5 << 35595 << "*************** Параметры схемы ****************";
    QTest::newRow("v5 block 1 type") << 5 << 35596 << " 0 ";
    QTest::newRow("v5 names header") << 5 << 35695 << "*************** Имена схемы ****************";
    QTest::newRow("v5 comments header") << 5 << 35696 << "*************** Коментарии АЛГОРИТМ ****************";
    QTest::newRow("v5 first call flag") << 5 << 37106 << " 0 ";
    QTest::newRow("v3 first line") << 3 << 1 << "3*************** Проект Ostrel ****************";
    QTest::newRow("v3 comments header") << 3 << 35696 << "*************** Коментарии АЛГОРИТМ ****************";
    QTest::newRow("v0 mechanisms kept") << 0 << 18749 << s + "1Вентилятор - 0";
    QTest::newRow("v0 ends with names header") << 0 << 35695 << "*************** Имена схемы ****************";
    QTest::newRow("v1 no mechanisms") << 1 << 18749 << s + "1Текст - 0";
    QTest::newRow("v1 scheme header") << 1 << 35595 - 7425 << "*************** Параметры схемы ****************";
    QTest::newRow("v1 ends with names header") << 1 << 35695 - 7425 << "*************** Имена схемы ****************";
}

void ProjectFileTest::layoutOfNewProject()
{
    QFETCH(int, version);
    QFETCH(int, line);
    QFETCH(QString, text);
    auto ws = newWorkspace();
    ws->selectVersion(uint8_t(version));
    ws->blocks.block_type.fill(0);
    const QStringList lines = linesOf(projectFileBytes(*ws, QLocale::c()));
    const int total = version == 5 || version == 3 ? 37361 : version == 0 ? 35695 : 35695 - 7425;
    QCOMPARE(lines.size(), total);
    QVERIFY(line <= lines.size());
    QCOMPARE(lines[line - 1], text);
}

// A text with a character code page 1251 cannot hold (one that came in from
// a UTF-8 netlist) is written with "?" in its place, never with 0x1A.
void ProjectFileTest::charactersTheFileCannotHold()
{
    auto ws = newWorkspace();
    ws->settings.project_name = QStringLiteral("Котёл Ω");
    ws->pages.text[2][1].text = QStringLiteral("✓ 😀");
    const QByteArray bytes = projectFileBytes(*ws, QLocale::c());
    QVERIFY(!bytes.contains('\x1A'));
    const QStringList lines = linesOf(bytes);
    QVERIFY(lines.contains(QStringLiteral("Котёл ?")));
    QVERIFY(lines.contains(QStringLiteral("? ?")));
}

void ProjectFileTest::recordFieldsInFileOrder()
{
    // One record of every kind with a distinct value in every field. The line
    // numbers and the lines are worked out by hand for a new version 5 project
    // (section starts as in layoutOfNewProject): label, then one line per
    // field in the order of the record tables.
    auto ws = newWorkspace();
    ws->blocks.block_type.fill(0);
    ScadaPages& s = ws->pages;
    ParametrElement& pa = s.parametr[1][5];
    pa.used = 1; pa.x = 11; pa.y = 12; pa.color = 13; pa.back_color = 14;
    pa.frame = 1; pa.font = 25; pa.digits = 4; pa.block = 97; pa.output = 130;
    SignalElement& si = s.signal[1][5];
    si.used = 1; si.x = 21; si.y = 3172; si.width = 207; si.height = 94; si.color = 255;
    si.back_color = 65280; si.frame = 1; si.blink = 2; si.block = 12; si.output = 3;
    TextSignalElement& ts = s.text_signal[1][5];
    ts.used = 1; ts.x = 31; ts.y = 1056; ts.font = 14; ts.color = 7; ts.back_color = 8;
    ts.text_off = QStringLiteral("Выкл"); ts.text_on = QStringLiteral("Вкл"); ts.frame = 1; ts.blink = 2;
    ts.block = 33; ts.output = 4;
    LevelElement& le = s.level[1][5];
    le.used = 1; le.x = 41; le.y = 42; le.width = 30; le.height = 150; le.scale = 1000;
    le.color = 16711680; le.back_color = 12632256; le.style = 3; le.block = 44; le.output = 5;
    GoBlockElement& go = s.go_block[1][5];
    go.used = 1; go.x = 51; go.y = 52; go.target = 203; go.option = 130;
    FiguraElement& fi = s.figura[1][5];
    fi.used = 1; fi.x = 61; fi.y = 62; fi.size_x = 200; fi.size_y = 100; fi.color = 1193046;
    fi.type = 1; fi.line_width = 3;
    VentElement& ve = s.vent[2][7];
    ve.used = 1; ve.x = 71; ve.y = 72; ve.width = 48; ve.height = 49; ve.picture = 6; ve.block = 5; ve.output = 2;
    TextElement& te = s.text[3][64];
    te.used = 1; te.x = 81; te.y = 82; te.color = 9; te.text = QStringLiteral("Котельная");
    te.font_name = QStringLiteral("Arial"); te.bold = -1; te.italic = 0; te.font_size = 12;
    s.fill_color[7] = 65280;
    GrafikElement& gr = s.grafik[8];
    gr.used = 1; gr.x = 91; gr.y = 92; gr.width = 240; gr.height = 150; gr.group = 7;
    ClockElement& cl = s.clock[3];
    cl.used = 1; cl.x = 700; cl.y = 5;
    ControlElement& co = s.control[8][32];
    co.used = 1; co.x = 101; co.y = 102; co.block = 20; co.channel = 4;
    co.picture_file = QStringLiteral("\\btn.gif"); co.width = 60; co.height = 61; co.type = 13;
    MenuElement& me = s.menu[8][8];
    me.used = 1; me.x = 111; me.y = 112; me.text = QStringLiteral("Главная"); me.target_page = 7;

    const QString l = QStringLiteral("Страница SCADA  - ");
    const struct {
        int line; // 1-based line of the label
        QStringList lines;
    } expected[] = {
        // Page index 1, slot 5: group 1 x 33 + 5 = 38 of section 12, 63 lines each from line 38.
        {2432, {l + "2Параметр - 5", " 1 ", " 11 ", " 12 ", " 13 ", " 14 ", " 1 ", " 25 ", " 4 ", " 97 ", " 130 "}},
        {2443, {l + "2Сигнал - 5", " 1 ", " 21 ", " 3172 ", " 207 ", " 94 ", " 255 ", " 65280 ", " 1 ", " 2 ",
                 " 12 ", " 3 "}},
        {2455, {l + "2Текст сигнал - 5", " 1 ", " 31 ", " 1056 ", " 14 ", " 7 ", " 8 ", "Выкл", "Вкл", " 1 ",
                 " 2 ", " 33 ", " 4 "}},
        {2468, {l + "2Уровень - 5", " 1 ", " 41 ", " 42 ", " 30 ", " 150 ", " 1000 ", " 16711680 ",
                 " 12632256 ", " 3 ", " 44 ", " 5 "}},
        {2480, {l + "2Блок - 5", " 1 ", " 51 ", " 52 ", " 203 ", " 130 "}},
        {2486, {l + "2Фигура - 5", " 1 ", " 61 ", " 62 ", " 200 ", " 100 ", " 1193046 ", " 1 ", " 3 ",
                 l + "2Параметр - 6"}},
        // Mechanism page index 2, slot 7: 18749 + (2 x 33 + 7) x 25, then 16 "Reserv".
        {20574, {l + "3Вентилятор - 7", " 1 ", " 71 ", " 72 ", " 48 ", " 49 ", " 6 ", " 5 ", " 2 ", "Reserv"}},
        {20598, {"Reserv", l + "3Вентилятор - 8"}},
        // Text page index 3, slot 64: 26174 + (3 x 65 + 64) x 10.
        {28764, {l + "4Текст - 64", " 1 ", " 81 ", " 82 ", " 9 ", "Котельная", "Arial", "-1 ", " 0 ", " 12 ",
                 l + "5Текст - 0"}},
        // Fill colour of page index 7; graph position 8; clock position 3.
        {32038, {l + "8Фон SCADA - 7", " 65280 ", l + "1График - 0"}},
        {32096, {l + "9График - 8", " 1 ", " 91 ", " 92 ", " 240 ", " 150 ", " 7 ", l + "1Часы - 0"}},
        {32115, {l + "4Часы - 3", " 1 ", " 700 ", " 5 "}},
        // Control page index 8, slot 32: 32139 + (8 x 33 + 32) x 10; menu 8/8: 35109 + (8 x 9 + 8) x 6.
        {35099, {l + "9Управление - 32", " 1 ", " 101 ", " 102 ", " 20 ", " 4 ", "\\btn.gif", " 60 ", " 61 ",
                 " 13 ", l + "1Меню - 0"}},
        {35589, {l + "9Меню - 8", " 1 ", " 111 ", " 112 ", "Главная", " 7 ",
                 "*************** Параметры схемы ****************"}},
    };
    const QStringList lines = linesOf(projectFileBytes(*ws, QLocale::c()));
    QCOMPARE(lines.size(), 37361);
    for (const auto& e : expected)
        QCOMPARE(lines.mid(e.line - 1, e.lines.size()), e.lines);
}

void ProjectFileTest::blockSections()
{
    // Blocks laid out by hand: 5 PID (18 parameters), 7 ABS (none), 9 REP
    // (16 texts), 11 RS4 (3 parameters, 48 texts under version 5).
    auto ws = newWorkspace();
    auto& bt = ws->blocks;
    bt.block_type.fill(0);
    bt.block_type[5] = 26;
    bt.block_type[7] = 13;
    bt.block_type[9] = 48;
    bt.block_type[11] = 5;
    bt.param_base[5] = 0;
    bt.param_base[7] = 18;
    bt.param_base[9] = 18;
    bt.param_base[11] = 18;
    bt.text_base[9] = 0;
    bt.text_base[11] = 16;
    for (int i = 0; i < 22; ++i)
        bt.ParamStore[i] = float(i) + 0.5f;
    bt.TextStore[15] = QStringLiteral("Событие 16");
    bt.TextStore[16] = QStringLiteral("Сеть 1");
    ws->report_reserve.value = 3;
    ws->report_reserve.texts[0] = QStringLiteral("r0");

    const QStringList lines = linesOf(projectFileBytes(*ws, QLocale::c()));
    int i = lines.indexOf(QStringLiteral("*************** Параметры схемы ****************"));
    QVERIFY(i > 0);
    QCOMPARE(lines[i + 5], QStringLiteral(" 26 "));
    i += 100; // header + 99 types
    QCOMPARE(lines[i], QStringLiteral("5 *************** Блок PID5****************"));
    QCOMPARE(lines[i + 1], QStringLiteral(" .5 "));
    QCOMPARE(lines[i + 19], QStringLiteral(" 18.5 ")); // the 19th line: next block's first entry
    QCOMPARE(lines[i + 20], QStringLiteral("7 *************** Блок ABS7****************"));
    QCOMPARE(lines[i + 21], QStringLiteral(" 18.5 ")); // no parameters: still one line
    QCOMPARE(lines[i + 22], QStringLiteral("9 *************** Блок REP9****************"));
    QCOMPARE(lines[i + 23], QStringLiteral(" 18.5 "));
    QCOMPARE(lines[i + 24], QStringLiteral("11 *************** Блок RS411****************"));
    QCOMPARE(lines[i + 28], QStringLiteral(" 21.5 "));
    // Report reserve: one number, 17 texts.
    QCOMPARE(lines[i + 29], QStringLiteral(" 3 "));
    QCOMPARE(lines[i + 30], QStringLiteral("r0"));
    QCOMPARE(lines[i + 47], QStringLiteral("*************** Имена схемы ****************"));
    QCOMPARE(lines[i + 48], QStringLiteral(" *************** Блок REP9****************"));
    QCOMPARE(lines[i + 64], QStringLiteral("Событие 16"));
    QCOMPARE(lines[i + 65], QStringLiteral(" *************** Блок RS411****************"));
    QCOMPARE(lines[i + 66], QStringLiteral("Сеть 1"));
    QCOMPARE(lines[i + 114], QStringLiteral("*************** Коментарии АЛГОРИТМ ****************"));
}

void ProjectFileTest::versionDependentBlockSections()
{
    // Under version 3 the RS4 block has no texts and TOU one parameter; the
    // save re-applies the counts of the version in force.
    auto ws = newWorkspace();
    auto& bt = ws->blocks;
    bt.block_type.fill(0);
    bt.block_type[2] = 5;
    bt.block_type[4] = 50;
    bt.param_base[4] = 3;
    ws->version_code = 3; // counts still those of version 5
    const QStringList lines = linesOf(projectFileBytes(*ws, QLocale::c()));
    QCOMPARE(ws->catalog.textCount(5), 0);
    QCOMPARE(ws->catalog.paramCount(50), 1);
    int i = lines.indexOf(QStringLiteral("2 *************** Блок RS42****************"));
    QVERIFY(i > 0);
    QCOMPARE(lines[i + 5], QStringLiteral("4 *************** Блок TOU4****************"));
    QCOMPARE(lines[i + 8], QStringLiteral("*************** Имена схемы ****************"));
    QCOMPARE(lines[i + 9], QStringLiteral("*************** Коментарии АЛГОРИТМ ****************"));
}

void ProjectFileTest::roundTrip_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("point");
    QTest::newRow("v5") << 5 << ".";
    QTest::newRow("v5 comma") << 5 << ",";
    QTest::newRow("v3") << 3 << ".";
    QTest::newRow("v0") << 0 << ",";
    QTest::newRow("v1") << 1 << ".";
}

void ProjectFileTest::roundTrip()
{
    QFETCH(int, version);
    QFETCH(QString, point);
    const QLocale locale = point == QLatin1String(",") ? QLocale(QLocale::Russian) : QLocale::c();
    QTemporaryDir dir;
    auto ws = filledWorkspace(dir.path(), version);
    ScriptedInteraction ui;
    const QString first = dir.filePath("first.prt");
    QVERIFY(writeProject(*ws, first, ui, {locale, false}));

    auto again = newWorkspace();
    const ProjectReadResult r = readProject(*again, first, ui);
    QCOMPARE(int(r.status), int(ProjectReadStatus::Ok));
    QCOMPARE(int(again->version_code), version);
    QCOMPARE(r.decimalPoint, point);
    const QString second = dir.filePath("second.prt");
    QVERIFY(writeProject(*again, second, ui, {locale, false}));
    QVERIFY(ui.messages.isEmpty());
    const QByteArray a = readAll(first), b = readAll(second);
    QVERIFY(a.size() > 100000);
    QCOMPARE(b, a);
}

void ProjectFileTest::editedValuesSurviveReopen()
{
    QTemporaryDir dir;
    auto ws = filledWorkspace(dir.path(), 5);
    ws->blocks.text(21, 47) = QStringLiteral("modbus 48");
    ScriptedInteraction ui;
    QVERIFY(writeProject(*ws, dir.filePath("p.prt"), ui));

    auto back = newWorkspace();
    QVERIFY(readProject(*back, dir.filePath("p.prt"), ui).loaded());
    auto& bt = back->blocks;
    QCOMPARE(bt.param(12, 4), 0.5f);          // netlist said 30
    QCOMPARE(bt.param(12, 11), -1234.567f);
    QCOMPARE(bt.param(3, 0), 1.5f);           // untouched netlist value
    QCOMPARE(bt.param(3, 1), 1e-9f);
    QCOMPARE(bt.text(20, 0), QStringLiteral("Т подачи, °C"));
    QCOMPARE(bt.text(21, 47), QStringLiteral("modbus 48"));
    QCOMPARE(bt.text(14, 41 * 5 + 39), ws->blocks.text(14, 41 * 5 + 39));
    QCOMPARE(bt.param(14, 128), ws->blocks.param(14, 128));
    QCOMPARE(bt.alg_param_saved[1], QStringLiteral(".125"));
    QCOMPARE(back->alg.alg_comments[11], QStringLiteral("Шаг 2"));
    QCOMPARE(back->alg.call_flags[3][0], uint8_t(1));
    QCOMPARE(back->alg.call_flags[127][1], uint8_t(1));
    QCOMPARE(back->report_reserve.value, 7);
    QCOMPARE(back->report_reserve.texts[16], QStringLiteral("резерв"));
    QCOMPARE(back->pages.text[0][64].text, QStringLiteral("Котельная №1 «Север»"));
    QCOMPARE(back->pages.menu[8][0].text, QStringLiteral("page 8 is stored too"));
    QCOMPARE(back->pages.signal[0][2].height, int16_t(94));
    QCOMPARE(back->settings.project_name, QStringLiteral("Котельная"));
    QCOMPARE(back->settings.netlist_path, dir.filePath("scheme.net"));
}

void ProjectFileTest::typeChangedInNetlistTakesNetlistValues()
{
    QTemporaryDir dir;
    auto ws = filledWorkspace(dir.path(), 5);
    ScriptedInteraction ui;
    QVERIFY(writeProject(*ws, dir.filePath("p.prt"), ui));
    // The scheme changes: block 3 becomes a LIM block.
    QList<fixture::Component> comps = fixture::smallScheme();
    comps[0] = {"U3", "LIM", {"5", "6", "7", "8"}};
    QVERIFY(fixture::writeFile(dir.filePath("scheme.net"), fixture::netlistBytes(comps)));
    auto back = newWorkspace();
    QCOMPARE(int(readProject(*back, dir.filePath("p.prt"), ui).status), int(ProjectReadStatus::Ok));
    QCOMPARE(back->blocks.block_type[3], int16_t(34));
    QCOMPARE(back->blocks.param(3, 1), 6.0f);
    QCOMPARE(back->blocks.param(12, 4), 0.5f); // unchanged blocks still restored
}

void ProjectFileTest::twoAlgorithmBlocksKeepTheirPrograms()
{
    QTemporaryDir dir;
    auto ws = newWorkspace();
    QVERIFY(fixture::importScheme(*ws, dir.filePath("scheme.net"), fixture::smallScheme(true)));
    fixture::fillAlgorithm(*ws, 14, 1);
    fixture::fillAlgorithm(*ws, 15, 2);
    ScriptedInteraction ui;
    QVERIFY(writeProject(*ws, dir.filePath("p.prt"), ui));
    auto back = newWorkspace();
    QVERIFY(readProject(*back, dir.filePath("p.prt"), ui).loaded());
    for (int n : {14, 15}) {
        QCOMPARE(back->blocks.text(n, 0), ws->blocks.text(n, 0));
        QCOMPARE(back->blocks.text(n, 5247), ws->blocks.text(n, 5247));
        QCOMPARE(back->blocks.param(n, 7), ws->blocks.param(n, 7));
    }
    QVERIFY(back->blocks.text(14, 0) != back->blocks.text(15, 0));
}

void ProjectFileTest::controlPictureNamesShortened()
{
    auto ws = newWorkspace();
    ws->pages.control[0][1].picture_file = QStringLiteral("C:\\pics\\stop.gif");
    ws->pages.control[8][32].picture_file = QStringLiteral("/home/u/start.gif");
    const QStringList lines = linesOf(projectFileBytes(*ws, QLocale::c()));
    QCOMPARE(ws->pages.control[0][1].picture_file, QStringLiteral("\\stop.gif"));
    QCOMPARE(ws->pages.control[8][32].picture_file, QStringLiteral("\\start.gif"));
    // Control p0 n1: label at 32139 + 10, picture file is its 6th field.
    QCOMPARE(lines[32139 + 10 - 1 + 6], QStringLiteral("\\stop.gif"));
}

void ProjectFileTest::settingsTabsAndLink()
{
    QTemporaryDir dir;
    auto ws = filledWorkspace(dir.path(), 5);
    ws->settings.link_port = 9;
    ws->pages.background_kind[4] = 1; // picture page without a reference
    ScriptedInteraction ui;
    QVERIFY(writeProject(*ws, dir.filePath("p.prt"), ui));
    auto back = newWorkspace();
    back->transfer.timer_multiplier = 0;
    const ProjectReadResult r = readProject(*back, dir.filePath("p.prt"), ui);
    QVERIFY(r.connectTcp);
    QCOMPARE(back->transfer.timer_multiplier, int16_t(10));
    QCOMPARE(back->transfer.page_chain_interval, 3000);
    QCOMPARE(back->settings.ip_address, QStringLiteral("192.168.0.7"));
    QCOMPARE(back->settings.tcp_port, 502);
    QCOMPARE(r.tabCaptions[0], QStringLiteral("Страница 1"));
    QCOMPARE(r.tabCaptions[2], QStringLiteral("pump"));
    QCOMPARE(r.backgroundFiles[2], dir.filePath("pump.gif"));
    QVERIFY(r.backgroundFiles[4].isEmpty());
    QCOMPARE(r.tabCaptions[4], QStringLiteral("Страница 5"));
    QCOMPARE(back->pages.fullPath(2), QStringLiteral("C:\\pics\\pump.gif"));

    ws->settings.link_port = 4;
    QVERIFY(writeProject(*ws, dir.filePath("p.prt"), ui));
    QVERIFY(!readProject(*back, dir.filePath("p.prt"), ui).connectTcp);
    QCOMPARE(back->transfer.timer_multiplier, int16_t(1));
    QCOMPARE(back->transfer.page_chain_interval, 1000);
}

void ProjectFileTest::versionFromFirstLine_data()
{
    QTest::addColumn<int>("written");  // version of the file's layout
    QTest::addColumn<QString>("first"); // first line as found
    QTest::addColumn<int>("before");   // version in force before opening
    QTest::addColumn<int>("after");
    QTest::newRow("4 reads as 3") << 3 << "4*** x" << 5 << 3;
    QTest::newRow("2 reads as 0") << 0 << "2*** x" << 5 << 0;
    QTest::newRow("1") << 1 << "1*** x" << 5 << 1;
    QTest::newRow("other keeps current") << 1 << "7*** x" << 1 << 1;
    QTest::newRow("blanks before the number") << 5 << "  5***" << 0 << 5;
}

void ProjectFileTest::versionFromFirstLine()
{
    QFETCH(int, written);
    QFETCH(QString, first);
    QFETCH(int, before);
    QFETCH(int, after);
    auto ws = newWorkspace();
    ws->selectVersion(uint8_t(written));
    QByteArray bytes = projectFileBytes(*ws, QLocale::c());
    bytes = first.toLatin1() + bytes.mid(bytes.indexOf("\r\n"));
    auto back = newWorkspace();
    back->selectVersion(uint8_t(before));
    ScriptedInteraction ui;
    const ProjectReadResult r = readProjectBytes(*back, bytes, QStringLiteral("/nonexistent"), ui);
    QVERIFY(r.loaded());
    QCOMPARE(int(back->version_code), after);
    QCOMPARE(back->catalog.textCount(5), after == 5 ? 48 : 0);
}

void ProjectFileTest::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    auto ws = newWorkspace();
    ScriptedInteraction ui;
    // A folder that does not exist.
    QVERIFY(!writeProject(*ws, dir.filePath("missing/p.prt"), ui));
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(ui.messages[0].text, QStringLiteral("Файл заблокирован!!!"));
    QCOMPARE(ui.messages[0].icon, MessageIcon::Error);

    // A write that fails half-way (file size limit): the old file stays.
    const QString path = dir.filePath("p.prt");
    QVERIFY(fixture::writeFile(path, "old project"));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = writeProject(*ws, path, ui);
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(!ok);
    QCOMPARE(ui.messages.size(), 2);
    QCOMPARE(ui.messages[1].text, QStringLiteral("Файл заблокирован!!!"));
    QCOMPARE(readAll(path), QByteArray("old project"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"p.prt"});
}

void ProjectFileTest::companionsCopied()
{
    QTemporaryDir src, dest;
    auto ws = filledWorkspace(src.path(), 5);
    QVERIFY(fixture::writeFile(src.filePath("pump.gif"), "GIF89a-pump"));
    // The stored full path is from another machine: the picture is found
    // beside the netlist. A hostile reference stays inside the folder.
    ws->pages.shortRef(5) = QStringLiteral("\\..\\evil.gif");
    ws->pages.fullPath(5) = src.filePath("pump.gif");
    ScriptedInteraction ui;
    QVERIFY(QDir(dest.path()).mkdir("sub"));
    QVERIFY(writeProject(*ws, dest.filePath("sub/p.prt"), ui));
    QCOMPARE(readAll(dest.filePath("sub/scheme.net")), readAll(src.filePath("scheme.net")));
    QCOMPARE(readAll(dest.filePath("sub/pump.gif")), QByteArray("GIF89a-pump"));
    QCOMPARE(readAll(dest.filePath("sub/evil.gif")), QByteArray("GIF89a-pump"));
    QVERIFY(!QFile::exists(dest.filePath("evil.gif")));
    // Saving beside the netlist itself copies nothing onto itself.
    const QByteArray net = readAll(src.filePath("scheme.net"));
    QVERIFY(writeProject(*ws, src.filePath("p.prt"), ui));
    QCOMPARE(readAll(src.filePath("scheme.net")), net);
    QVERIFY(ui.messages.isEmpty());
}

// A background or netlist reference is written as the file name its copy
// has beside the project file, whatever folders (".." included) it named;
// the page model keeps its reference.
void ProjectFileTest::referencesNameTheCopies_data()
{
    QTest::addColumn<QString>("background");
    QTest::addColumn<QString>("netlistFolder"); // below the folder the netlist is in
    QTest::addColumn<QString>("written");
    QTest::newRow("parent folder") << "\\..\\evil.gif" << "sub/.." << "\\evil.gif";
    QTest::newRow("sub-folder") << "\\pics\\evil.gif" << "." << "\\evil.gif";
    QTest::newRow("whole path") << "C:\\pics\\evil.gif" << "sub/../sub/.." << "\\evil.gif";
    QTest::newRow("file name") << "\\evil.gif" << "." << "\\evil.gif";
}

void ProjectFileTest::referencesNameTheCopies()
{
    QFETCH(QString, background);
    QFETCH(QString, netlistFolder);
    QFETCH(QString, written);
    QTemporaryDir src, dest;
    QVERIFY(QDir(src.path()).mkdir("sub"));
    auto ws = filledWorkspace(src.path(), 5);
    ws->settings.netlist_path = src.path() + u'/' + netlistFolder + QStringLiteral("/scheme.net");
    QVERIFY(fixture::writeFile(src.filePath("pump.gif"), "GIF89a-pump"));
    ws->pages.background_kind[2] = 1;
    ws->pages.shortRef(2) = background;
    ws->pages.fullPath(2) = src.filePath("pump.gif");
    ScriptedInteraction ui;
    QVERIFY(writeProject(*ws, dest.filePath("p.prt"), ui));
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(ws->pages.shortRef(2), background);

    const QStringList lines = linesOf(readAll(dest.filePath("p.prt")));
    QCOMPARE(lines[6], QStringLiteral("\\scheme.net"));
    QCOMPARE(lines[7 + 2], written);
    QCOMPARE(readAll(dest.filePath("evil.gif")), QByteArray("GIF89a-pump"));
    QCOMPARE(QDir(dest.path()).entryList(QDir::Files), (QStringList{"evil.gif", "p.prt", "scheme.net"}));

    // Reopened, the project finds both copies.
    auto back = newWorkspace();
    const ProjectReadResult r = readProject(*back, dest.filePath("p.prt"), ui);
    QCOMPARE(int(r.status), int(ProjectReadStatus::Ok));
    QCOMPARE(r.backgroundFiles[2], dest.filePath("evil.gif"));
    QCOMPARE(back->pages.shortRef(2), written);
}

// A control's own picture goes beside the saved project, whether it was just
// chosen elsewhere or came with the opened project; the saved name is found
// there when the project is reopened.
void ProjectFileTest::controlPicturesCopied()
{
    QTemporaryDir src, pics, dest;
    auto ws = filledWorkspace(src.path(), 5);
    QVERIFY(fixture::writeFile(pics.filePath("knopka.gif"), "GIF89a-knopka"));
    QVERIFY(fixture::writeFile(src.filePath("stop.gif"), "GIF89a-stop"));
    QVERIFY(fixture::writeFile(pics.filePath("unused.gif"), "GIF89a-unused"));
    ControlElement& chosen = ws->pages.control[0][1];
    chosen.used = 1;
    chosen.picture_file = pics.filePath("knopka.gif");
    ControlElement& opened = ws->pages.control[3][7];
    opened.used = 1;
    opened.picture_file = QStringLiteral("\\stop.gif");
    ControlElement& missing = ws->pages.control[3][8];
    missing.used = 1;
    missing.picture_file = QStringLiteral("\\nowhere.gif");
    ws->pages.control[4][2].picture_file = pics.filePath("unused.gif"); // a free slot
    ScriptedInteraction ui;
    QVERIFY(writeProject(*ws, dest.filePath("p.prt"), ui));
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(readAll(dest.filePath("knopka.gif")), QByteArray("GIF89a-knopka"));
    QCOMPARE(readAll(dest.filePath("stop.gif")), QByteArray("GIF89a-stop"));
    QVERIFY(!QFile::exists(dest.filePath("unused.gif")));
    QVERIFY(!QFile::exists(dest.filePath("nowhere.gif")));
    QCOMPARE(chosen.picture_file, QStringLiteral("\\knopka.gif"));
    QCOMPARE(PagePainter::controlPictureCandidates(chosen.picture_file, dest.path()),
             QStringList{dest.filePath("knopka.gif")});
}

// A companion that cannot be written (a full disk, through the fault seam)
// keeps its previous contents and is reported; the project file itself is
// written. A project file that cannot be written copies nothing.
void ProjectFileTest::failedCompanionCopyReported_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<bool>("projectWritten");
    QTest::addColumn<QStringList>("failedCopies");
    QTest::newRow("netlist") << "scheme.net" << true << QStringList{"scheme.net"};
    QTest::newRow("picture") << "pump.gif" << true << QStringList{"pump.gif"};
    QTest::newRow("project file") << "p.prt" << false << QStringList{};
}

void ProjectFileTest::failedCompanionCopyReported()
{
    QFETCH(QString, failing);
    QFETCH(bool, projectWritten);
    QFETCH(QStringList, failedCopies);
    QTemporaryDir src, dest;
    auto ws = filledWorkspace(src.path(), 5);
    QVERIFY(fixture::writeFile(src.filePath("pump.gif"), "GIF89a-pump"));
    ws->pages.shortRef(2) = QStringLiteral("\\pump.gif");
    ws->pages.fullPath(2) = src.filePath("pump.gif");
    // What the destination folder holds from an earlier save.
    for (const char* name : {"p.prt", "scheme.net", "pump.gif"})
        QVERIFY(fixture::writeFile(dest.filePath(name), "earlier"));

    ScriptedInteraction ui;
    SaveFault fault;
    fault.failAfterBytes = 10;
    fault.fileName = failing;
    ProjectWriteOptions options;
    options.fault = &fault;
    const ProjectWriteResult r = writeProject(*ws, dest.filePath("p.prt"), ui, options);
    QCOMPARE(r.written, projectWritten);
    QCOMPARE(r.failedCopies.size(), failedCopies.size());
    for (int i = 0; i < failedCopies.size(); ++i)
        QVERIFY2(r.failedCopies[i].contains(failedCopies[i]), qPrintable(r.failedCopies[i]));
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(ui.messages[0].icon, MessageIcon::Error);
    if (projectWritten) {
        QVERIFY(ui.messages[0].text.startsWith(kCopyFailedMessage + "\n"));
        QVERIFY(ui.messages[0].text.contains(failing));
        QCOMPARE(readAll(dest.filePath("p.prt")), projectFileBytes(*ws));
    } else {
        QCOMPARE(ui.messages[0].text, kFileLockedMessage);
    }
    // The failing file keeps what it held; the others are the new ones.
    QCOMPARE(readAll(dest.filePath(failing)), QByteArray("earlier"));
    if (failing != "scheme.net")
        QCOMPARE(readAll(dest.filePath("scheme.net")),
                 projectWritten ? readAll(src.filePath("scheme.net")) : QByteArray("earlier"));
    if (failing != "pump.gif")
        QCOMPARE(readAll(dest.filePath("pump.gif")), projectWritten ? QByteArray("GIF89a-pump") : QByteArray("earlier"));
}

void ProjectFileTest::missingNetlistBuildsSchemeFromFile()
{
    QTemporaryDir dir;
    auto ws = filledWorkspace(dir.path(), 5);
    ws->blocks.InputLink[12][0] = 3;
    ScriptedInteraction ui;
    QVERIFY(writeProject(*ws, dir.filePath("p.prt"), ui));
    const QByteArray saved = readAll(dir.filePath("p.prt"));
    QVERIFY(QFile::remove(dir.filePath("scheme.net")));

    auto back = newWorkspace();
    back->blocks.InputLink[12][0] = 9; // left over from an earlier project
    const ProjectReadResult r = readProject(*back, dir.filePath("p.prt"), ui);
    QCOMPARE(int(r.status), int(ProjectReadStatus::NetlistMissing));
    QCOMPARE(r.netlistPath, dir.filePath("scheme.net"));
    QCOMPARE(back->blocks.block_type, ws->blocks.block_type);
    QCOMPARE(back->blocks.param_base, ws->blocks.param_base);
    QCOMPARE(back->blocks.text_base, ws->blocks.text_base);
    QCOMPARE(back->blocks.param(12, 4), 0.5f);
    QCOMPARE(back->blocks.text(14, 100), ws->blocks.text(14, 100));
    QCOMPARE(back->blocks.InputLink[12][0], uint8_t(0));
    // Saving it again gives the same file.
    QVERIFY(writeProject(*back, dir.filePath("q.prt"), ui, {QLocale::system(), false}));
    QCOMPARE(readAll(dir.filePath("q.prt")), saved);
}

// The netlist beside a project no longer imports: its message is shown, and
// the scheme stands as the file stores it (types, values, names; no wiring),
// whatever an earlier project left, so that saving it again loses nothing.
void ProjectFileTest::failedImportKeepsStoredScheme_data()
{
    QTest::addColumn<QList<fixture::Component>>("extra");
    QList<fixture::Component> setters; // more program setters than parameters fit
    for (int n = 1; n <= 96; ++n)
        if (n != 3 && n != 12 && n != 14 && n != 20 && n != 21 && n != 30)
            setters << fixture::Component{QStringLiteral("U%1").arg(n), "PRO_SET", {"1"}};
    QTest::newRow("more blocks than fit") << setters;
    QTest::newRow("block number above 99") << QList<fixture::Component>{{"U123", "MUL", {"1", "2", "3", "4"}}};
}

void ProjectFileTest::failedImportKeepsStoredScheme()
{
    QFETCH(QList<fixture::Component>, extra);
    QTemporaryDir dir;
    auto ws = filledWorkspace(dir.path(), 5);
    ScriptedInteraction ui;
    QVERIFY(writeProject(*ws, dir.filePath("p.prt"), ui));
    const QByteArray saved = readAll(dir.filePath("p.prt"));
    QVERIFY(fixture::writeFile(dir.filePath("scheme.net"), fixture::netlistBytes(fixture::smallScheme() + extra)));

    for (bool leftOver : {false, true}) {
        auto back = newWorkspace();
        if (leftOver) { // bases and wiring of an earlier project
            QVERIFY(fixture::importScheme(*back, dir.filePath("other.net"), {{"U1", "PRO_SET", {"1"}}}));
            back->blocks.InputLink[12][0] = 9;
        }
        ScriptedInteraction openUi;
        const ProjectReadResult r = readProject(*back, dir.filePath("p.prt"), openUi);
        QCOMPARE(int(r.status), int(ProjectReadStatus::ImportFailed));
        QVERIFY(r.loaded());
        QVERIFY(r.importError);
        QCOMPARE(openUi.messages.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^Ошибка netLIST!!! Выход блока №\\d+$")).match(openUi.messages[0].text).hasMatch(),
                 qPrintable(openUi.messages[0].text));
        QCOMPARE(back->blocks.block_type, ws->blocks.block_type);
        QCOMPARE(back->blocks.param_base, ws->blocks.param_base);
        QCOMPARE(back->blocks.param(12, 4), 0.5f);
        QCOMPARE(back->blocks.text(20, 0), QStringLiteral("Т подачи, °C"));
        QCOMPARE(back->blocks.text(14, 100), ws->blocks.text(14, 100));
        QCOMPARE(back->blocks.InputLink[12][0], uint8_t(0));
        QVERIFY(writeProject(*back, dir.filePath("again.prt"), ui, {QLocale::system(), false}));
        QCOMPARE(readAll(dir.filePath("again.prt")), saved);
    }
    // Headless users get no scheme from it, and the reason.
    auto headless = newWorkspace();
    QString error;
    QVERIFY(!loadProjectForCli(*headless, dir.filePath("p.prt"), &error));
    QVERIFY2(error.endsWith("ended with an error"), qPrintable(error));
}

void ProjectFileTest::truncatedAnywhere()
{
    QTemporaryDir dir;
    auto ws = filledWorkspace(dir.path(), 5);
    const QByteArray full = projectFileBytes(*ws, QLocale::c());
    QList<int> ends; // byte offsets just after a line end
    for (int i = 0; i < full.size(); ++i)
        if (full[i] == '\n')
            ends << i + 1;
    const int names = full.indexOf("*************** \xc8\xec\xe5\xed\xe0 \xf1\xf5\xe5\xec\xfb");
    const int comments = full.indexOf("*************** \xca\xee\xec\xe5\xed\xf2\xe0\xf0\xe8\xe8");
    QVERIFY(names > 0 && comments > names);
    // A line counts once any part of it is there: the file is read when the
    // last names line has begun, and the comments are complete when the last
    // call flag line has begun.
    const int lastNameLine = ends[ends.indexOf(comments) - 1];
    const int lastLine = ends[ends.size() - 2];
    // Every line of the head and the tail, a stride through the middle and
    // cuts inside a line and inside a CR LF pair.
    QList<int> cuts;
    for (int k = 0; k < ends.size(); ++k)
        if (k < 40 || k > ends.size() - 40 || k % 401 == 0 || std::abs(ends[k] - names) < 150)
            cuts << ends[k] << ends[k] - 1 << ends[k] - 3;
    cuts << 0 << 1;
    for (int cut : cuts) {
        if (cut < 0 || cut >= full.size())
            continue;
        auto target = newWorkspace();
        target->settings.project_name = QStringLiteral("before");
        target->pages.parametr[1][1].used = 1;
        ScriptedInteraction ui;
        const ProjectReadResult r = readProjectBytes(*target, full.left(cut), dir.path(), ui);
        if (cut <= lastNameLine) {
            // Ends inside the sections before the comments: nothing is taken over.
            QVERIFY2(r.status == ProjectReadStatus::Malformed, qPrintable(QString::number(cut)));
            QCOMPARE(target->settings.project_name, QStringLiteral("before"));
            QCOMPARE(target->pages.parametr[1][1].used, int16_t(1));
        } else {
            // Ends at or inside the comment section: the project is read.
            QVERIFY2(r.loaded(), qPrintable(QString::number(cut)));
            QCOMPARE(r.commentsComplete, cut > lastLine);
            QCOMPARE(target->pages.parametr[1][1].used, int16_t(0));
            QCOMPARE(target->blocks.param(12, 4), 0.5f);
        }
    }
    auto target = newWorkspace();
    ScriptedInteraction ui;
    QVERIFY(readProjectBytes(*target, full, dir.path(), ui).commentsComplete);
}

// A project file that a text editor saved as UTF-8 is not read (it would
// come out garbled); the reason given names the encoding.
void ProjectFileTest::utf8ProjectRefused_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::newRow("UTF-8") << QByteArray();
    QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF");
}

void ProjectFileTest::utf8ProjectRefused()
{
    QFETCH(QByteArray, prefix);
    QTemporaryDir dir;
    auto saved = filledWorkspace(dir.path(), 5);
    const QByteArray cp1251 = projectFileBytes(*saved, QLocale::c());
    const QByteArray utf8 = prefix + QString(QStringDecoder("windows-1251").decode(cp1251)).toUtf8();
    QVERIFY(fixture::writeFile(dir.filePath("p.prt"), utf8));

    auto ws = newWorkspace();
    ws->settings.project_name = QStringLiteral("before");
    ScriptedInteraction ui;
    const ProjectReadResult r = readProject(*ws, dir.filePath("p.prt"), ui);
    QCOMPARE(int(r.status), int(ProjectReadStatus::Malformed));
    QCOMPARE(r.error, kProjectEncodingError);
    QVERIFY(r.error.contains(QStringLiteral("UTF-8")));
    QCOMPARE(ws->settings.project_name, QStringLiteral("before"));
    QCOMPARE(int(ws->blocks.block_type[12]), 0);
}

void ProjectFileTest::badInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    auto ws = newWorkspace();
    const QByteArray good = projectFileBytes(*ws, QLocale::c());
    const int line2 = good.indexOf("\r\n") + 2;
    const int grid = good.indexOf("*************** \xcf\xe0\xf0\xe0\xec\xe5\xf2\xf0\xfb \xea");
    const int Ok = int(ProjectReadStatus::NetlistMissing), Bad = int(ProjectReadStatus::Malformed);

    QTest::newRow("empty") << QByteArray() << Bad;
    QTest::newRow("a netlist") << fixture::netlistBytes(fixture::smallScheme()) << Bad;
    QTest::newRow("lines shifted by one") << good.left(line2) + "extra\r\n" + good.mid(line2) << Bad;
    QTest::newRow("LF line ends") << QByteArray(good).replace("\r\n", "\n") << Ok;
    QByteArray longLine = good;
    longLine.insert(line2, QByteArray(2 * 1024 * 1024, 'x'));
    QTest::newRow("very long name") << longLine << Ok;
    QByteArray invalid = good;
    invalid.insert(line2, QByteArray("\x98\x00\xff\x01", 4));
    QTest::newRow("invalid bytes") << invalid << Ok;
    QByteArray huge = good;
    huge.replace(grid - 5, 3, "999999999999999999999999999999");
    QTest::newRow("oversized number") << huge << Ok;
    QByteArray types = good;
    const int scheme = types.indexOf("*************** \xcf\xe0\xf0\xe0\xec\xe5\xf2\xf0\xfb \xf1");
    const int firstType = types.indexOf("\r\n", scheme) + 2;
    types.replace(firstType, 3, " 77 ");
    QTest::newRow("unknown block type") << types << Ok;
    QByteArray neg = good;
    neg.replace(firstType, 3, "-5 ");
    QTest::newRow("negative block type") << neg << Ok;
}

void ProjectFileTest::badInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    auto ws = newWorkspace();
    ws->settings.project_name = QStringLiteral("before");
    ScriptedInteraction ui;
    const ProjectReadResult r = readProjectBytes(*ws, bytes, QStringLiteral("/nonexistent"), ui);
    QCOMPARE(int(r.status), status);
    if (!r.loaded()) {
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(ws->settings.project_name, QStringLiteral("before"));
    } else {
        for (int n = 1; n <= 99; ++n)
            QVERIFY(ws->blocks.block_type[n] >= 0 && ws->blocks.block_type[n] <= 50);
    }
    QVERIFY(ui.messages.isEmpty());

    // Files that cannot be opened at all.
    QCOMPARE(int(readProject(*ws, QStringLiteral("/nonexistent/p.prt"), ui).status),
             int(ProjectReadStatus::CannotOpen));
    QCOMPARE(int(readProject(*ws, QDir::tempPath(), ui).status), int(ProjectReadStatus::CannotOpen));
}

void ProjectFileTest::exampleProjectOpensAndResavesUnchanged()
{
    const QString path = QStringLiteral(OSTREL_EXAMPLES "/boiler.prt");
    auto ws = newWorkspace();
    ScriptedInteraction ui;
    const ProjectReadResult r = readProject(*ws, path, ui);
    QCOMPARE(int(r.status), int(ProjectReadStatus::Ok));
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(r.tabCaptions[0], QStringLiteral("boiler"));
    // The background is a GIF of the page size that Qt reads back exactly.
    QImage picture(r.backgroundFiles[0]);
    QCOMPARE(picture.size(), QSize(800, 480));
    QCOMPARE(picture.pixel(0, 0), qRgb(236, 236, 236));
    QCOMPARE(picture.pixel(250, 200), qRgb(150, 150, 150));
    QCOMPARE(picture.pixel(460, 320), qRgb(90, 170, 90));
    // Elements of several kinds on page 1 and a filled program.
    const ScadaPages& s = ws->pages;
    QVERIFY(s.parametr[0][3].used && ws->blocks.block_type[s.parametr[0][3].block] == 26);
    QVERIFY(s.parametr[0][1].used && ws->blocks.block_type[s.parametr[0][1].block] == 1);
    QVERIFY(s.signal[0][1].used && s.text[0][1].used && s.level[0][1].used && s.go_block[0][1].used);
    int alg = 0;
    for (int n = 1; n <= 96; ++n)
        if (ws->blocks.block_type[n] == 45)
            alg = n;
    QVERIFY(alg > 0);
    QCOMPARE(ws->blocks.text(alg, 22), QStringLiteral("11"));
    QCOMPARE(projectFileBytes(*ws, QLocale::c()), readAll(path));
}

QTEST_GUILESS_MAIN(ProjectFileTest)
#include "test_project_file.moc"
