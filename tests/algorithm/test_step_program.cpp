#include "algorithm/operand_names.h"
#include "algorithm/step_program.h"
#include "algorithm_fixture.h"

#include <QTest>

using namespace ostrel;
using namespace ostrel::alg;
using namespace ostrel::testing;

class TestStepProgram : public QObject {
    Q_OBJECT

private:
    // A program where step i jumps to then = i+1 (wrapping to OUT) and
    // else = a fixed target, with setpoint i+1 = i+1 and comments "c<i>.<k>".
    static void fillNumbered(Workspace& ws)
    {
        BlockTable& bt = ws.blocks;
        for (int s = 0; s < kSteps; ++s) {
            setStepField(bt, kAlgBlock, s, cond_b, s);
            setStepField(bt, kAlgBlock, s, then_next, s + 1 < kSteps ? s + 1 : kNextOut);
            setSetpoint(bt, kAlgBlock, s + 1, float(s + 1));
            for (int k = 0; k < kCommentsPerStep; ++k)
                ws.alg.alg_comments[kCommentsPerStep * s + k] = QStringLiteral("c%1.%2").arg(s).arg(k);
        }
    }

private slots:
    void packing_data()
    {
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<int>("value");
        QTest::newRow("set reset unchanged set") << QList<int>{1, 2, 0, 1} << 73;
        QTest::newRow("all unchanged") << QList<int>{0, 0, 0, 0} << 0;
        QTest::newRow("all reset") << QList<int>{2, 2, 2, 2} << 170;
        QTest::newRow("last only") << QList<int>{0, 0, 0, 2} << 128;
    }
    void packing()
    {
        QFETCH(QList<int>, codes);
        QFETCH(int, value);
        const std::array<int, 4> a{codes[0], codes[1], codes[2], codes[3]};
        QCOMPARE(PackBits(a), value);
        QCOMPARE(UnpackBits(value), a);
    }

    void packedCodesOfARow()
    {
        auto ws = makeAlgorithmWorkspace();
        BlockTable& bt = ws->blocks;
        setPackedCode(bt, kAlgBlock, 5, then_outputs, 1, kCodeSet);
        setPackedCode(bt, kAlgBlock, 5, then_outputs, 2, kCodeReset);
        setPackedCode(bt, kAlgBlock, 5, then_outputs, 4, kCodeSet);
        setPackedCode(bt, kAlgBlock, 5, else_flags, 32, kCodeReset);
        QCOMPARE(stepField(bt, kAlgBlock, 5, then_outputs), 73);
        QCOMPARE(stepField(bt, kAlgBlock, 5, else_flags + 7), 128);
        QCOMPARE(packedCode(bt, kAlgBlock, 5, then_outputs, 2), kCodeReset);
        QCOMPARE(packedCode(bt, kAlgBlock, 5, else_flags, 32), kCodeReset);
        // Outputs 0 and 33 do not exist.
        setPackedCode(bt, kAlgBlock, 5, then_outputs, 33, kCodeSet);
        setPackedCode(bt, kAlgBlock, 5, then_outputs, 0, kCodeSet);
        QCOMPARE(stepField(bt, kAlgBlock, 5, then_outputs + 8), 0); // else_outputs untouched
        QCOMPARE(stepField(bt, kAlgBlock, 5, then_outputs), 73);
    }

    void nameTables_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("cmp 0") << comparisonOperatorNames() << 16 << 0 << " =";
        QTest::newRow("cmp 7") << comparisonOperatorNames() << 16 << 7 << " OR";
        QTest::newRow("cmp 15") << comparisonOperatorNames() << 16 << 15 << "AND const";
        QTest::newRow("math 4") << mathOperatorNames() << 5 << 4 << " =";
        QTest::newRow("math 3") << mathOperatorNames() << 5 << 3 << " /=";
        QTest::newRow("A 0") << aOperandNames() << 255 << 0 << "No";
        QTest::newRow("A 65") << aOperandNames() << 255 << 65 << "Flag_1";
        QTest::newRow("A 164") << aOperandNames() << 255 << 164 << "INP(SP4)";
        QTest::newRow("A 225") << aOperandNames() << 255 << 225 << "SP1 SPn+SPm";
        QTest::newRow("A 239") << aOperandNames() << 255 << 239 << "SP15 SPn+SPm";
        QTest::newRow("A 254") << aOperandNames() << 255 << 254 << "SP15 SPn- SPm";
        QTest::newRow("B 1") << bOperandNames() << 226 << 1 << "1";
        QTest::newRow("B 33") << bOperandNames() << 226 << 33 << "Input 32";
        QTest::newRow("B 161") << bOperandNames() << 226 << 161 << "SP128";
        QTest::newRow("B 162") << bOperandNames() << 226 << 162 << "SP(INP1)";
        QTest::newRow("B 225") << bOperandNames() << 226 << 225 << "SP(SP32)";
        QTest::newRow("kind 40") << actionKindNames() << 256 << 40 << "OUT8_SP";
        QTest::newRow("kind 96") << actionKindNames() << 256 << 96 << "OUT32_SP(INP)";
        QTest::newRow("kind 196") << actionKindNames() << 256 << 196 << "SP4 =";
        QTest::newRow("kind 225") << actionKindNames() << 256 << 225 << "OUT(SP1) = ";
        QTest::newRow("kind 255") << actionKindNames() << 256 << 255 << "OUT(SP31) = ";
        QTest::newRow("next 129") << nextStepNames() << 130 << 129 << "RET";
    }
    void nameTables()
    {
        QFETCH(QStringList, list);
        QFETCH(int, size);
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(list.size(), size);
        QCOMPARE(list.at(code), text);
        QVERIFY(aOperandName(255).isEmpty());
        QVERIFY(actionKindName(-1).isEmpty());
    }

    void defaultsFillOnlyEmptyFields()
    {
        auto ws = makeAlgorithmWorkspace();
        BlockTable& bt = ws->blocks;
        for (int i = 0; i < kProgramTexts; ++i)
            bt.TextStore[kTextBase + i].clear();
        bt.TextStore[kTextBase + kFields * 9 + then_next] = QStringLiteral("4");
        applyDefaultFields(bt, kAlgBlock);
        // A step holding only the defaults: "Input 1" = 0, no actions, both OUT.
        QCOMPARE(aOperandName(stepField(bt, kAlgBlock, 0, cond_a)), QStringLiteral("Input 1"));
        QCOMPARE(comparisonOperatorName(comparisonOperator(bt, kAlgBlock, 0)), QStringLiteral(" ="));
        QCOMPARE(bOperandName(stepField(bt, kAlgBlock, 0, cond_b)), QStringLiteral("0"));
        QCOMPARE(actionKindName(stepField(bt, kAlgBlock, 0, then_kind)), QStringLiteral("No"));
        QCOMPARE(nextStepName(stepField(bt, kAlgBlock, 0, then_next)), QStringLiteral("OUT"));
        QCOMPARE(nextStepName(stepField(bt, kAlgBlock, 0, else_next)), QStringLiteral("OUT"));
        QCOMPARE(bt.TextStore[kTextBase + kFields * 9 + then_next], QStringLiteral("4"));
        QVERIFY(neighboursIntact(*ws));
    }

    void fieldAccessStaysInsideTheBlock()
    {
        auto ws = makeAlgorithmWorkspace();
        BlockTable& bt = ws->blocks;
        const auto texts = bt.TextStore;
        const auto params = bt.ParamStore;
        setStepField(bt, kAlgBlock, -1, 0, 5);
        setStepField(bt, kAlgBlock, 128, 0, 5);
        setStepField(bt, kAlgBlock, 0, 41, 5);
        setStepField(bt, kAlgBlock + 1, 0, 0, 5); // not an algorithm block
        setSetpoint(bt, kAlgBlock, 0, 5.0f);      // parameter 0 is not a setpoint
        setSetpoint(bt, kAlgBlock, 129, 5.0f);
        QVERIFY(bt.TextStore == texts);
        QVERIFY(bt.ParamStore == params);
        QCOMPARE(stepField(bt, kAlgBlock, 200, 0), 0);
        QCOMPARE(setpoint(bt, kAlgBlock, 0), 0.0f);

        // A block whose fields would run past the text store is not an algorithm block.
        bt.text_base[kAlgBlock] = BlockTable::kTexts - 100;
        QVERIFY(!isAlgorithmBlock(bt, kAlgBlock));
        setStepField(bt, kAlgBlock, 127, 40, 1);
        QVERIFY(bt.TextStore == texts);
    }

    void fieldTextParsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("number") << "128" << 128;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("leading number") << "12x" << 12;
    }
    void fieldTextParsing()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(parseFieldText(text), value);
    }

    void mathOperatorFifthEntryStoresZero()
    {
        auto ws = makeAlgorithmWorkspace();
        BlockTable& bt = ws->blocks;
        setStepField(bt, kAlgBlock, 2, ops, 5 + 16 * 3 + 64 * 2);
        setMathOperator(bt, kAlgBlock, 2, Branch::Then, 4);
        QCOMPARE(stepField(bt, kAlgBlock, 2, ops), 5 + 64 * 2);
        setMathOperator(bt, kAlgBlock, 2, Branch::Else, 3);
        QCOMPARE(stepField(bt, kAlgBlock, 2, ops), 5 + 64 * 3);
        QCOMPARE(mathOperator(bt, kAlgBlock, 2, Branch::Else), 3);
        setMathOperator(bt, kAlgBlock, 2, Branch::Else, 5); // no such entry
        QCOMPARE(stepField(bt, kAlgBlock, 2, ops), 5 + 64 * 3);
    }

    void insertStep_data()
    {
        QTest::addColumn<int>("s");
        QTest::newRow("after step 1") << 0;
        QTest::newRow("after step 3") << 2;
        QTest::newRow("after step 97") << 96;
        QTest::newRow("after step 127") << 126;
    }
    void insertStep()
    {
        QFETCH(int, s);
        auto ws = makeAlgorithmWorkspace();
        BlockTable& bt = ws->blocks;
        fillNumbered(*ws);
        setStepField(bt, kAlgBlock, 10, else_next, s);       // jump to the step itself: unchanged
        setStepField(bt, kAlgBlock, 11, else_next, kNextRet); // RET unchanged
        QVERIFY(InsertStepAfter(bt, ws->alg, kAlgBlock, s));

        // The new step s+1 is blank; its setpoint is 0, its comments "Text".
        QCOMPARE(stepField(bt, kAlgBlock, s + 1, cond_a), 1);
        QCOMPARE(stepField(bt, kAlgBlock, s + 1, cond_b), 0);
        QCOMPARE(stepField(bt, kAlgBlock, s + 1, then_next), kNextOut);
        QCOMPARE(stepField(bt, kAlgBlock, s + 1, else_next), kNextOut);
        QCOMPARE(setpoint(bt, kAlgBlock, s + 2), 0.0f);
        for (int k = 0; k < kCommentsPerStep; ++k)
            QCOMPARE(ws->alg.alg_comments[kCommentsPerStep * (s + 1) + k], QStringLiteral("Text"));

        // Steps up to s stay, steps above move up one with setpoints and comments.
        for (int i = 0; i < kSteps; ++i) {
            if (i == s + 1)
                continue;
            const int from = i <= s ? i : i - 1;
            QCOMPARE(stepField(bt, kAlgBlock, i, cond_b), from);
            QCOMPARE(setpoint(bt, kAlgBlock, i + 1), float(from + 1));
            QCOMPARE(ws->alg.alg_comments[kCommentsPerStep * i + 10], QStringLiteral("c%1.10").arg(from));
            // Jump targets above s moved up one; those at or below s did not.
            const int target = from + 1 < kSteps ? from + 1 : kNextOut;
            const int expected = target > s && target < kNextOut ? target + 1 : target;
            if (i != 10 + (10 > s) && i != 11 + (11 > s))
                QCOMPARE(stepField(bt, kAlgBlock, i, else_next), kNextOut);
            QCOMPARE(stepField(bt, kAlgBlock, i, then_next), std::min(expected, 128));
        }
        QCOMPARE(stepField(bt, kAlgBlock, 10 + (10 > s), else_next), s);
        QCOMPARE(stepField(bt, kAlgBlock, 11 + (11 > s), else_next), kNextRet);
        QVERIFY(neighboursIntact(*ws));
    }

    void insertAfterLastStepIsRefused()
    {
        auto ws = makeAlgorithmWorkspace();
        fillNumbered(*ws);
        const auto texts = ws->blocks.TextStore;
        const auto params = ws->blocks.ParamStore;
        const auto comments = ws->alg.alg_comments;
        QVERIFY(!InsertStepAfter(ws->blocks, ws->alg, kAlgBlock, 127));
        QVERIFY(!InsertStepAfter(ws->blocks, ws->alg, kAlgBlock, -1));
        QVERIFY(!InsertStepAfter(ws->blocks, ws->alg, kAlgBlock + 1, 3));
        QVERIFY(ws->blocks.TextStore == texts);
        QVERIFY(ws->blocks.ParamStore == params);
        QVERIFY(ws->alg.alg_comments == comments);
    }

    void deleteStep_data()
    {
        QTest::addColumn<int>("s");
        QTest::newRow("step 1") << 0;
        QTest::newRow("step 6") << 5;
        QTest::newRow("step 128") << 127;
    }
    void deleteStep()
    {
        QFETCH(int, s);
        auto ws = makeAlgorithmWorkspace();
        BlockTable& bt = ws->blocks;
        fillNumbered(*ws);
        setStepField(bt, kAlgBlock, 0, else_next, 127); // jump to step 128
        QVERIFY(DeleteStep(bt, ws->alg, kAlgBlock, s));

        for (int i = 0; i < kSteps - 1; ++i) {
            const int from = i < s ? i : i + 1;
            QCOMPARE(stepField(bt, kAlgBlock, i, cond_b), from);
            QCOMPARE(setpoint(bt, kAlgBlock, i + 1), float(from + 1));
            QCOMPARE(ws->alg.alg_comments[kCommentsPerStep * i], QStringLiteral("c%1.0").arg(from));
            const int target = from + 1 < kSteps ? from + 1 : kNextOut;
            QCOMPARE(stepField(bt, kAlgBlock, i, then_next),
                     target > s && target < kNextOut ? target - 1 : target);
        }
        // Step 128 is blank, going to OUT, with "Text" comments and setpoint 0.
        QCOMPARE(stepField(bt, kAlgBlock, 127, cond_a), 1);
        QCOMPARE(stepField(bt, kAlgBlock, 127, cond_b), 0);
        QCOMPARE(stepField(bt, kAlgBlock, 127, then_next), kNextOut);
        QCOMPARE(stepField(bt, kAlgBlock, 127, else_next), kNextOut);
        QCOMPARE(setpoint(bt, kAlgBlock, 128), 0.0f);
        QCOMPARE(ws->alg.alg_comments[kCommentsPerStep * 127 + 5], QStringLiteral("Text"));
        // A jump to step 128 moves down unless step 128 itself was deleted.
        const int firstStep = s == 0 ? -1 : 0;
        if (firstStep == 0)
            QCOMPARE(stepField(bt, kAlgBlock, 0, else_next), s < 127 ? 126 : 127);
        QVERIFY(neighboursIntact(*ws));
    }

    void downloadImage()
    {
        auto ws = makeAlgorithmWorkspace();
        BlockTable& bt = ws->blocks;
        setStepField(bt, kAlgBlock, 0, then_kind, 127);
        setStepField(bt, kAlgBlock, 0, else_kind, 5);
        setStepField(bt, kAlgBlock, 1, then_kind, 200);
        setStepField(bt, kAlgBlock, 3, ops, 255);
        ws->alg.call_flags[0] = {1, 1, 0};
        QByteArray image;
        QString problem;
        QVERIFY(algorithmDownloadImage(bt, ws->alg, kAlgBlock, image, &problem));
        QCOMPARE(image.size(), kProgramTexts);
        QCOMPARE(uint8_t(image[then_kind]), uint8_t(255));      // 127 + 128 for a call
        QCOMPARE(uint8_t(image[else_kind]), uint8_t(133));
        QCOMPARE(uint8_t(image[kFields + then_kind]), uint8_t(200)); // no call flag
        QCOMPARE(uint8_t(image[kFields * 3 + ops]), uint8_t(255));
        QCOMPARE(uint8_t(image[cond_a]), uint8_t(1));
        QCOMPARE(uint8_t(image[kProgramTexts - 1]), uint8_t(128)); // else_next of step 128
        // The stored fields are not changed by the download.
        QCOMPARE(stepField(bt, kAlgBlock, 0, then_kind), 127);
    }

    void downloadRefusesValuesThatDoNotFitAByte_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("callFlag");
        QTest::newRow("call on kind 128") << int(then_kind) << 128 << 1;
        QTest::newRow("else call on kind 255") << int(else_kind) << 255 << 1;
        QTest::newRow("OUT constant 300") << int(then_operand) << 300 << 0;
        QTest::newRow("condition constant 256") << int(cond_b) << 256 << 0;
        QTest::newRow("negative") << int(cond_a) << -1 << 0;
    }
    void downloadRefusesValuesThatDoNotFitAByte()
    {
        QFETCH(int, field);
        QFETCH(int, value);
        QFETCH(int, callFlag);
        auto ws = makeAlgorithmWorkspace();
        setStepField(ws->blocks, kAlgBlock, 7, field, value);
        ws->alg.call_flags[7] = {uint8_t(callFlag), uint8_t(callFlag), 0};
        QByteArray image;
        QString problem;
        QVERIFY(!algorithmDownloadImage(ws->blocks, ws->alg, kAlgBlock, image, &problem));
        QVERIFY2(problem.contains(QStringLiteral("шаг 8")), qPrintable(problem));
    }

    void downloadOfNonAlgorithmBlockFails()
    {
        auto ws = makeAlgorithmWorkspace();
        QByteArray image;
        QString problem;
        QVERIFY(!algorithmDownloadImage(ws->blocks, ws->alg, kAlgBlock + 1, image, &problem));
        QVERIFY(!problem.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStepProgram)
#include "test_step_program.moc"
