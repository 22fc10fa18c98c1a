#include "algorithm/expression_checker.h"
#include "algorithm_fixture.h"
#include "support/scripted_interaction.h"

#include <QTest>

using namespace ostrel;
using namespace ostrel::alg;
using namespace ostrel::testing;

namespace {

constexpr int kStep = 7; // 1-based step number given to the checker
const QString kSuffix = QStringLiteral("12\"");

// "16=5,18=7" -> {16: 5, 18: 7}; same form for setpoints "5=20".
QMap<int, double> parseMap(const QString& text)
{
    QMap<int, double> m;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList kv = part.split(QLatin1Char('='));
        m.insert(kv[0].toInt(), kv[1].toDouble());
    }
    return m;
}

// Fields preset before every action, to see what a parse leaves alone.
constexpr int kPresetOps = 245;
constexpr int kPresetOperand = 9;
constexpr float kPresetSetpoint = 9.0f;

} // namespace

class TestExpressionChecker : public QObject {
    Q_OBJECT

private:
    // Checks every field of the step and every setpoint: the listed ones have
    // the listed values, all others their preset.
    static void verifyStep(const Workspace& ws, const QMap<int, double>& fields,
                           const QMap<int, double>& presetFields, const QMap<int, double>& setpoints)
    {
        for (int f = 0; f < kFields; ++f) {
            double expected = f == cond_a ? 1 : (f == then_next || f == else_next ? 128 : 0);
            expected = presetFields.value(f, expected);
            expected = fields.value(f, expected);
            QCOMPARE(double(stepField(ws.blocks, kAlgBlock, kStep - 1, f)), expected);
        }
        for (int k = 1; k <= kSetpoints; ++k)
            QCOMPARE(double(setpoint(ws.blocks, kAlgBlock, k)), setpoints.value(k, kPresetSetpoint));
        for (int s = 0; s < kSteps; ++s)
            if (s != kStep - 1)
                QCOMPARE(stepField(ws.blocks, kAlgBlock, s, ops), 0);
        QVERIFY(neighboursIntact(ws));
    }

    static std::unique_ptr<Workspace> preparedWorkspace()
    {
        auto ws = makeAlgorithmWorkspace();
        for (int k = 1; k <= kSetpoints; ++k)
            setSetpoint(ws->blocks, kAlgBlock, k, kPresetSetpoint);
        return ws;
    }

private slots:
    void condition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("fields");    // cond_a=20, cond_b=21, ops=22
        QTest::addColumn<QString>("setpoints");
        QTest::addColumn<QStringList>("messages");

        const QString tag = QStringLiteral("  шаг A7");
        const QString opError = QStringLiteral("Ошибка условия в блоке <АЛГОРИТМ>") + tag;
        const QString aError = QStringLiteral("Ошибка условия A в блоке <АЛГОРИТМ>") + tag;
        const QString bError = QStringLiteral("Ошибка условия B в блоке <АЛГОРИТМ>") + tag;
        const QString sp15 = QStringLiteral("Значение SP > 15") + tag;

        // Examples of the checker's description.
        QTest::newRow("INP3 > SP5 = 20") << "INP3 > SP5 = 20" << true << "20=3,21=38,22=2" << "5=20" << QStringList{};
        QTest::newRow("FLAG2 = 1") << "FLAG2 = 1" << true << "20=66,21=1,22=9" << "" << QStringList{};
        QTest::newRow("INI(SP4) <> INP2") << "INI(SP4) <> INP2" << true << "20=164,21=3,22=5" << "" << QStringList{};
        QTest::newRow("AND with input") << "INP1 AND INP2" << true << "20=1,21=3,22=6" << "" << QStringList{};
        QTest::newRow("AND with constant") << "INP1 AND 5" << true << "20=1,21=5,22=15" << "" << QStringList{};
        QTest::newRow("OR with input") << "FLAG1 OR FLAG2" << false << "20=65,22=7" << "" << QStringList{bError};
        // XOR against an input, with an input, a flag and an output on the left.
        QTest::newRow("input XOR input") << "INP1 XOR INP2" << true << "20=1,21=3,22=8" << "" << QStringList{};
        QTest::newRow("flag XOR input") << "FLAG3 XOR INP4" << true << "20=67,21=5,22=8" << "" << QStringList{};
        QTest::newRow("output XOR input") << "OUT5 XOR INP32" << true << "20=37,21=33,22=8" << "" << QStringList{};
        QTest::newRow("XOR without blanks") << "FLAG3XORINP4" << true << "20=67,21=5,22=8" << "" << QStringList{};
        QTest::newRow("XOR against a setpoint") << "OUT2 XOR SP7 = 1,5" << true << "20=34,21=40,22=8" << "7=1.5" << QStringList{};
        QTest::newRow("lone X") << "INP1 X INP2" << false << "" << "" << QStringList{opError};
        // The left operand's number never takes digits of the right one.
        QTest::newRow("SP3 > 50") << "SP3 > 50" << true << "20=131,21=50,22=11" << "" << QStringList{};
        QTest::newRow("SP3 < 5") << "SP3 < 5" << true << "20=131,21=5,22=10" << "" << QStringList{};
        QTest::newRow("TIMER1 > 20") << "TIMER1 > 20" << true << "20=97,21=20,22=11" << "" << QStringList{};
        QTest::newRow("T2 >= 100") << "T2 >= 100" << true << "20=98,21=100,22=13" << "" << QStringList{};
        QTest::newRow("OUT4 <= INP7") << "OUT4 <= INP7" << true << "20=36,21=8,22=3" << "" << QStringList{};
        QTest::newRow("setpoint with comma") << "INP1 = SP2 = 2,5" << true << "20=1,21=35,22=0" << "2=2.5" << QStringList{};
        QTest::newRow("setpoint without value") << "INP1 = SP128" << true << "20=1,21=161,22=0" << "128=0" << QStringList{};
        QTest::newRow("selected operands") << "SI(SP3) = SI(INP4)" << true << "20=195,21=165,22=0" << "" << QStringList{};
        QTest::newRow("SI(SP) on the right") << "INP1 < SI(SP32)" << true << "20=1,21=225,22=1" << "" << QStringList{};
        // Sum and difference forms.
        QTest::newRow("sum form") << "SP1 > SP2 + SP3" << true << "20=225,21=35,22=2" << "" << QStringList{};
        QTest::newRow("difference form") << "SP15 < SP4 - SP5" << true << "20=254,21=69,22=1" << "" << QStringList{};
        QTest::newRow("difference B above 15") << "SP2 < SP20 - SP3" << true << "20=241,21=15,22=1" << "" << QStringList{sp15};
        QTest::newRow("sum A above 15") << "SP20 > SP1 + SP2" << true << "20=244,21=18,22=2" << "" << QStringList{sp15};
        QTest::newRow("sum A beyond the table") << "SP40 > SP1 + SP2" << false << "22=2" << "" << QStringList{sp15, aError};
        QTest::newRow("SP( on the left") << "INP2 > SP(4)" << true << "20=2,21=37,22=2" << "4=0"
                                         << QStringList{QStringLiteral("Ошибка SI(INP) или SI(SP), ШАГ A7")};
        // Rejections: fields written before the fault stay.
        QTest::newRow("no operator") << "INP3 ! 5" << false << "" << "" << QStringList{opError};
        QTest::newRow("empty") << "" << false << "" << "" << QStringList{opError};
        QTest::newRow("unknown A") << "ZZ1 > 5" << false << "22=2" << "" << QStringList{aError};
        QTest::newRow("A beyond the table") << "INP300 > 5" << false << "22=2" << "" << QStringList{aError};
        QTest::newRow("unknown B") << "INP1 > Q5" << false << "20=1,22=2" << "" << QStringList{bError};
        QTest::newRow("B prefix SI without form") << "INP1 > SIX" << false << "20=1,22=2" << "" << QStringList{bError};
        QTest::newRow("OR against constant") << "INP1 OR 5" << false << "20=1,22=7" << "" << QStringList{bError};
        QTest::newRow("XOR against constant") << "INP1 XOR 1" << false << "20=1,22=8" << "" << QStringList{bError};
        QTest::newRow("constant above 255") << "INP1 > 300" << false << "20=1,22=2" << "" << QStringList{bError};
        QTest::newRow("constant 255") << "INP1 > 255" << true << "20=1,21=255,22=11" << "" << QStringList{};
        QTest::newRow("negative constant") << "INP1 > -5" << false << "20=1,22=2" << "" << QStringList{bError};
        QTest::newRow("setpoint 0") << "INP1 > SP0 = 4" << false << "20=1,22=2" << "" << QStringList{bError};
        QTest::newRow("setpoint 200") << "INP1 > SP200 = 4" << false << "20=1,22=2" << "" << QStringList{bError};
    }
    void condition()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(QString, fields);
        QFETCH(QString, setpoints);
        QFETCH(QStringList, messages);
        auto ws = preparedWorkspace();
        ScriptedInteraction ui;
        ExpressionChecker checker(ws->blocks, kAlgBlock, ui);
        QCOMPARE(checker.ParseCondition(text, kStep), accepted);
        QCOMPARE(ui.texts(), messages);
        for (const Message& m : ui.messages)
            QCOMPARE(m.icon, MessageIcon::Error);
        verifyStep(*ws, parseMap(fields), {}, parseMap(setpoints));
    }

    void action_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("elseBranch");
        QTest::addColumn<QString>("fields"); // kind 16/17, operand 18/19, ops 22
        QTest::addColumn<QString>("setpoints");
        QTest::addColumn<QStringList>("messages");

        auto msg = [](const char* text) { return QString::fromUtf8(text) + kSuffix; };
        const QString outRange = msg("Значение OUT больше 255, ШАГ ");
        const QString sp128 = msg("Значение SP больше 128, ШАГ ");
        const QString sp32 = msg("Значение SP больше 32, ШАГ ");
        const QString sp31 = msg("Значение SP больше 31, ШАГ ");
        const QString inp32 = msg("Значение INP больше 32, ШАГ ");
        const QString mathError = msg("Ошибка =+-*/, ШАГ ");
        const QString eqError = msg("Ошибка =, ШАГ ");
        const QString leftError = msg("Ошибка /INP или SI или  SP или OUI/, ШАГ ");
        const QString rightError = msg("Ошибка /INP или SI или  SP/, ШАГ ");

        QTest::newRow("OUT5 = 7") << "OUT5 = 7" << false << "16=5,18=7" << "" << QStringList{};
        QTest::newRow("OUT5 = 300 not stored") << "OUT5 = 300" << false << "16=5" << "" << QStringList{outRange};
        QTest::newRow("OUT5 = -3 not stored") << "OUT5 = -3" << false << "16=5" << "" << QStringList{outRange};
        QTest::newRow("OUT5 = 255") << "OUT5 = 255" << false << "16=5,18=255" << "" << QStringList{};
        QTest::newRow("OUT3 = SP12") << "OUT3 = SP12" << false << "16=35,18=11" << "12=0" << QStringList{};
        QTest::newRow("OUT7 = SP3 = 12.5") << "OUT7 = SP3 = 12.5" << false << "16=39,18=2" << "3=12.5" << QStringList{};
        QTest::newRow("OUT7 = SP3 = 2,5 else") << "OUT7 = SP3 = 2,5" << true << "17=39,19=2" << "3=2.5" << QStringList{};
        QTest::newRow("OUT2 = SP200") << "OUT2 = SP200 = 4" << false << "16=34" << "" << QStringList{sp128};
        QTest::newRow("OUT2 = SP0") << "OUT2 = SP0 = 4" << false << "16=34" << "" << QStringList{sp128};
        QTest::newRow("OUT2 = SI(INP5)") << "OUT2 = SI(INP5)" << false << "16=66,18=4" << "" << QStringList{};
        QTest::newRow("OUT2 = SI(INP40)") << "OUT2 = SI(INP40)" << false << "16=66,18=39" << "" << QStringList{inp32};
        QTest::newRow("OUT = : no action") << "OUT =" << false << "" << "" << QStringList{};
        QTest::newRow("OUT =  : no action") << "OUT = " << true << "" << "" << QStringList{};
        QTest::newRow("SP4 = INP2") << "SP4 = INP2" << false << "16=196,18=3,22=197" << "" << QStringList{};
        QTest::newRow("SP4 += INP2") << "SP4 += INP2" << false << "16=100,18=3,22=197" << "" << QStringList{};
        QTest::newRow("SP4 -= INP2 else") << "SP4 -= INP2" << true << "17=100,19=3,22=117" << "" << QStringList{};
        QTest::newRow("SP4 = 7") << "SP4 = 7" << false << "16=100,22=197" << "" << QStringList{};
        QTest::newRow("SP4 = 1") << "SP4 = 1" << false << "16=196,18=1,22=197" << "" << QStringList{};
        QTest::newRow("SP2 *= 1") << "SP2 *= 1" << false << "16=98,18=1,22=229" << "" << QStringList{};
        QTest::newRow("SP2 /= 0 else") << "SP2 /= 0" << true << "17=98,19=0,22=245" << "" << QStringList{};
        QTest::newRow("SP1 += SP7 = 3.5") << "SP1 += SP7 = 3.5" << false << "16=97,18=40,22=197" << "7=3.5" << QStringList{};
        QTest::newRow("SP1 = SP7 = 3.5") << "SP1 = SP7 = 3.5" << false << "16=193,18=40,22=197" << "7=3.5" << QStringList{};
        QTest::newRow("SP1 += SP300") << "SP1 += SP300 = 4" << false << "16=97,22=197" << "" << QStringList{sp128};
        QTest::newRow("SP4 += INP40") << "SP4 += INP40" << false << "16=100,18=41,22=197" << "" << QStringList{inp32};
        QTest::newRow("SP40 += INP1") << "SP40 += INP1" << false << "16=136,18=2,22=197" << "" << QStringList{sp32};
        QTest::newRow("SP999 += INP1") << "SP999 += INP1" << false << "18=2,22=197" << "" << QStringList{sp32};
        QTest::newRow("SP4 += SI(INP3)") << "SP4 += SI(INP3)" << false << "16=100,18=164,22=197" << "" << QStringList{};
        QTest::newRow("SI(INP3) += SP5") << "SI(INP3) += SP5" << false << "16=131,18=38,22=197" << "" << QStringList{};
        QTest::newRow("SI(SP4) = SI(SP2)") << "SI(SP4) = SI(SP2)" << false << "16=164,18=195,22=197" << "" << QStringList{};
        QTest::newRow("SI(SP40) += INP1") << "SI(SP40) += INP1" << false << "16=200,18=2,22=197" << "" << QStringList{sp32};
        QTest::newRow("OUI(SP3) = INP2") << "OUI(SP3) = INP2" << false << "16=227,18=3,22=197" << "" << QStringList{};
        QTest::newRow("OUI(SP32) kind beyond 255") << "OUI(SP32) = INP2" << false << "18=3,22=197" << "" << QStringList{sp31};
        // Syntax checks only warn; the parse goes on.
        QTest::newRow("SP4 INP2") << "SP4 INP2" << false << "16=100" << "" << QStringList{mathError, rightError};
        QTest::newRow("OUT5 7") << "OUT5 7" << false << "16=5,18=0" << "" << QStringList{eqError, rightError};
        QTest::newRow("unknown") << "XYZ = 1" << false << "" << "" << QStringList{leftError};
        QTest::newRow("empty") << "" << false << "" << "" << QStringList{leftError, rightError};
    }
    void action()
    {
        QFETCH(QString, text);
        QFETCH(bool, elseBranch);
        QFETCH(QString, fields);
        QFETCH(QString, setpoints);
        QFETCH(QStringList, messages);
        auto ws = preparedWorkspace();
        const int s = kStep - 1;
        setStepField(ws->blocks, kAlgBlock, s, ops, kPresetOps);
        setStepField(ws->blocks, kAlgBlock, s, then_operand, kPresetOperand);
        setStepField(ws->blocks, kAlgBlock, s, else_operand, kPresetOperand);
        ScriptedInteraction ui;
        ExpressionChecker checker(ws->blocks, kAlgBlock, ui);
        checker.ParseAction(text, elseBranch ? Branch::Else : Branch::Then, kStep, kSuffix);
        QCOMPARE(ui.texts(), messages);
        for (const Message& m : ui.messages)
            QCOMPARE(m.icon, MessageIcon::Error);
        const QMap<int, double> preset{{ops, kPresetOps}, {then_operand, kPresetOperand},
                                       {else_operand, kPresetOperand}};
        verifyStep(*ws, parseMap(fields), preset, parseMap(setpoints));
    }

    void messageSuffixIsTheHeaderEnd()
    {
        QCOMPARE(ExpressionChecker::messageSuffix(QStringLiteral("(compInst \"Y12\"")), QStringLiteral("12\""));
        QCOMPARE(ExpressionChecker::messageSuffix(QStringLiteral("Y")), QStringLiteral("Y"));
    }
};

QTEST_GUILESS_MAIN(TestExpressionChecker)
#include "test_expression_checker.moc"
