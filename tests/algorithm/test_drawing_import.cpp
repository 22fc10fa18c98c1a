#include "algorithm/drawing_import.h"
#include "algorithm/step_program.h"
#include "algorithm_fixture.h"
#include "drawing_builder.h"
#include "support/scripted_interaction.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace ostrel;
using namespace ostrel::alg;
using namespace ostrel::testing;

Q_DECLARE_METATYPE(ostrel::DrawingImportOutcome)

namespace {

int field(const Workspace& ws, int step1, int f) { return stepField(ws.blocks, kAlgBlock, step1 - 1, f); }

// A program the user already has, to see that failed imports keep it.
void fillPreviousProgram(Workspace& ws)
{
    for (int s = 0; s < kSteps; ++s) {
        setStepField(ws.blocks, kAlgBlock, s, cond_b, s % 200);
        ws.alg.alg_comments[kCommentsPerStep * s] = QStringLiteral("old %1").arg(s);
    }
    ws.blocks.alg_text_saved[10] = QStringLiteral("17");
    ws.alg.call_flags[4] = {1, 0, 0};
    setSetpoint(ws.blocks, kAlgBlock, 5, 3.0f);
}

struct Snapshot {
    explicit Snapshot(const Workspace& ws)
        : texts(ws.blocks.TextStore), params(ws.blocks.ParamStore), saved(ws.blocks.alg_text_saved),
          comments(ws.alg.alg_comments), flags(ws.alg.call_flags)
    {
    }
    bool operator==(const Workspace& ws) const
    {
        return texts == ws.blocks.TextStore && params == ws.blocks.ParamStore
            && saved == ws.blocks.alg_text_saved && comments == ws.alg.alg_comments
            && flags == ws.alg.call_flags;
    }
    std::array<QString, BlockTable::kTexts> texts;
    std::array<float, BlockTable::kParams> params;
    std::array<QString, BlockTable::kAlgTexts> saved;
    std::array<QString, AlgorithmData::kComments> comments;
    std::array<std::array<uint8_t, 3>, 129> flags;
};

} // namespace

class TestDrawingImport : public QObject {
    Q_OBJECT

private:
    static DrawingImportOutcome run(Workspace& ws, const DrawingBuilder& d, ScriptedInteraction& ui)
    {
        return importAlgorithmDrawingItems(ws.blocks, ws.alg, kAlgBlock, d.items(), ui);
    }

private slots:
    void emptyDrawingClearsTheProgram()
    {
        auto ws = makeAlgorithmWorkspace();
        fillPreviousProgram(*ws);
        ScriptedInteraction ui;
        QCOMPARE(run(*ws, DrawingBuilder(), ui), DrawingImportOutcome::Completed);
        QVERIFY(ui.messages.isEmpty());
        for (int s = 1; s <= kSteps; ++s)
            for (int f = 0; f < kFields; ++f)
                QCOMPARE(field(*ws, s, f), f == then_next || f == else_next ? kNextOut : 0);
        QCOMPARE(ws->alg.alg_comments[0], QString());
        QCOMPARE(ws->alg.call_flags[4][0], uint8_t(0));
        QCOMPARE(ws->blocks.alg_text_saved[10], QStringLiteral("0"));
        QCOMPARE(setpoint(ws->blocks, kAlgBlock, 5), 3.0f); // setpoints are not cleared
        QCOMPARE(ws->blocks.cur_block, uint8_t(kAlgBlock));
        QVERIFY(neighboursIntact(*ws));
    }

    void stepsBoxesAndWires()
    {
        // Step 1: then via Y1 to step 2, else via N1 to step 3.
        // Step 2: then back to step 1 (stored as OUT), else to step 2 itself.
        // Step 3: then via Y2 to R (RET), else to R directly; Y3 leads nowhere.
        DrawingBuilder d;
        d.step(1, QStringLiteral("INP1 < SP1 = 60"), QStringLiteral("Пуск"))
            .box(QLatin1Char('Y'), 1, QStringLiteral("OUT1 = 1"), QStringLiteral("1-3,5"), QString(),
                 QStringLiteral("32"), QString(), QStringLiteral("Включить"))
            .box(QLatin1Char('N'), 1, QStringLiteral("SP2 += INP3"), QString(), QStringLiteral("1,4"),
                 QString(), QStringLiteral("2-3"), QStringLiteral("Иначе"))
            .step(2, QStringLiteral("FLAG1 = 1"))
            .step(3, QStringLiteral("TIMER1 >= 30"))
            .box(QLatin1Char('Y'), 2, QStringLiteral("OUT2 = SP3 = 1.5"), QStringLiteral("7"), QStringLiteral("7"))
            .step(4, QStringLiteral("INP2 = 0"))
            .box(QLatin1Char('Y'), 3, QStringLiteral("OUT ="))
            .plain(QStringLiteral("R1"))
            .net({"A1:3", "Y1:1"})
            .net({"Y1:2", "A2:1"})
            .net({"A1:2", "N1:1"})
            .net({"N1:2", "A3:1"})
            .net({"A2:3", "A1:1"})
            .net({"A2:2", "A2:1"})
            .net({"A3:3", "Y2:1"})
            .net({"R1:1", "Y2:2", "A3:2"})
            .net({"A4:3", "Y3:1"});
        auto ws = makeAlgorithmWorkspace();
        ScriptedInteraction ui;
        QCOMPARE(run(*ws, d, ui), DrawingImportOutcome::Completed);
        QCOMPARE(ui.texts(), QStringList{});

        QCOMPARE(field(*ws, 1, cond_a), 1);
        QCOMPARE(field(*ws, 1, ops), 1);
        QCOMPARE(field(*ws, 1, cond_b), 34);
        QCOMPARE(setpoint(ws->blocks, kAlgBlock, 1), 60.0f);
        QCOMPARE(field(*ws, 1, then_kind), 1);
        QCOMPARE(field(*ws, 1, then_operand), 1);
        QCOMPARE(field(*ws, 1, then_outputs), PackBits({1, 1, 1, 0}));
        QCOMPARE(field(*ws, 1, then_outputs + 1), PackBits({1, 0, 0, 0}));
        QCOMPARE(field(*ws, 1, then_flags + 7), PackBits({0, 0, 0, 1}));
        QCOMPARE(field(*ws, 1, else_kind), 98);
        QCOMPARE(field(*ws, 1, else_operand), 4);
        QCOMPARE(field(*ws, 1, else_outputs), PackBits({2, 0, 0, 2}));
        QCOMPARE(field(*ws, 1, else_flags), PackBits({0, 2, 2, 0}));
        QCOMPARE(field(*ws, 1, then_next), 1);
        QCOMPARE(field(*ws, 1, else_next), 2);
        QCOMPARE(ws->alg.alg_comments[0], QStringLiteral("Пуск"));
        QCOMPARE(ws->alg.alg_comments[1], QStringLiteral("Включить"));
        QCOMPARE(ws->alg.alg_comments[6], QStringLiteral("Иначе"));

        QCOMPARE(field(*ws, 2, then_next), kNextOut); // a wire to step 1 reads as OUT
        QCOMPARE(field(*ws, 2, else_next), 1);

        QCOMPARE(field(*ws, 3, then_next), kNextRet);
        QCOMPARE(field(*ws, 3, else_next), kNextRet);
        QCOMPARE(field(*ws, 3, then_kind), 34);
        QCOMPARE(field(*ws, 3, then_operand), 2);
        QCOMPARE(setpoint(ws->blocks, kAlgBlock, 3), 1.5f);
        // The same output in the set and the reset list ends reset.
        QCOMPARE(field(*ws, 3, then_outputs + 1), PackBits({0, 0, 2, 0}));

        QCOMPARE(field(*ws, 4, then_next), kNextOut); // Y3 leads nowhere
        QCOMPARE(field(*ws, 4, then_kind), 0);
        for (int s = 0; s < kSteps; ++s) {
            QCOMPARE(ws->alg.call_flags[s][0], uint8_t(0));
            QCOMPARE(ws->alg.call_flags[s][1], uint8_t(0));
        }
        QVERIFY(neighboursIntact(*ws));
    }

    void callFlagComesFromTheTargetStep()
    {
        // Step 1 calls step 3 through C1; step 2's else wire to step 3 is a
        // call too, because the flag belongs to the target.
        DrawingBuilder d;
        d.step(1, QStringLiteral("INP1 = 1"))
            .step(2, QStringLiteral("INP2 = 1"))
            .step(3, QStringLiteral("INP3 = 1"))
            .plain(QStringLiteral("C1"))
            .net({"A1:3", "C1:1"})
            .net({"C1:2", "A3:1", "A2:2"});
        auto ws = makeAlgorithmWorkspace();
        ScriptedInteraction ui;
        QCOMPARE(run(*ws, d, ui), DrawingImportOutcome::Completed);
        QCOMPARE(field(*ws, 1, then_next), 2);
        QCOMPARE(ws->alg.call_flags[0][0], uint8_t(1));
        QCOMPARE(field(*ws, 2, else_next), 2);
        QCOMPARE(ws->alg.call_flags[1][1], uint8_t(1));
        QCOMPARE(ws->alg.call_flags[1][0], uint8_t(0));
        QCOMPARE(ws->alg.call_flags[2][0], uint8_t(0));
    }

    void callOnActionKindAbove127IsReported()
    {
        DrawingBuilder d;
        d.step(1, QStringLiteral("INP1 = 1"))
            .box(QLatin1Char('Y'), 1, QStringLiteral("SI(INP1) += INP2"))
            .step(2, QStringLiteral("INP2 = 1"))
            .plain(QStringLiteral("C1"))
            .net({"A1:3", "Y1:1"})
            .net({"Y1:2", "C1:1"})
            .net({"C1:2", "A2:1"});
        auto ws = makeAlgorithmWorkspace();
        ScriptedInteraction ui;
        QCOMPARE(run(*ws, d, ui), DrawingImportOutcome::Completed);
        QCOMPARE(field(*ws, 1, then_kind), 129);
        QCOMPARE(ws->alg.call_flags[0][0], uint8_t(1));
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("Ошибка вызова: код действия больше 127  шаг A1")});
        QByteArray image;
        QString problem;
        QVERIFY(!algorithmDownloadImage(ws->blocks, ws->alg, kAlgBlock, image, &problem));
    }

    void junctionAllowsSeveralInputs()
    {
        DrawingBuilder d;
        d.step(1, QStringLiteral("INP1 = 1")).plain(QStringLiteral("S1"))
            .net({"A2:1", "S1:1", "A3:1", "A1:3"});
        auto ws = makeAlgorithmWorkspace();
        ScriptedInteraction ui;
        QCOMPARE(run(*ws, d, ui), DrawingImportOutcome::Completed);
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(field(*ws, 1, then_next), 2); // the last input, step 3
    }

    // Errors that end the scan: the linking pass still runs over what was read.
    void scanStops_data()
    {
        QTest::addColumn<QByteArray>("drawing");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("step1Cond");
        QTest::addColumn<int>("step2Then");

        QTest::newRow("two inputs in one net")
            << DrawingBuilder()
                   .step(1, QStringLiteral("INP5 = 1"))
                   .step(2, QStringLiteral("INP1 = 1"))
                   .net({"A2:3", "A3:1"})
                   .net({"A2:1", "A4:1", "A1:3"})
                   .bytes()
            << QStringList{QStringLiteral("Ошибка соединения входов A4 и A2 (net \"NET00002\"")} << 0 << 128;
        QTest::newRow("rejected condition")
            << DrawingBuilder()
                   .step(2, QStringLiteral("INP1 ? 1"))
                   .step(1, QStringLiteral("INP5 = 1"))
                   .net({"A2:3", "A3:1"})
                   .bytes()
            << QStringList{QStringLiteral("Ошибка условия в блоке <АЛГОРИТМ>  шаг A2")} << 5 << 2;
    }
    void scanStops()
    {
        QFETCH(QByteArray, drawing);
        QFETCH(QStringList, messages);
        QFETCH(int, step1Cond);
        QFETCH(int, step2Then);
        QBuffer buf(&drawing);
        buf.open(QIODevice::ReadOnly);
        auto ws = makeAlgorithmWorkspace();
        ScriptedInteraction ui;
        QCOMPARE(importAlgorithmDrawingItems(ws->blocks, ws->alg, kAlgBlock, readNetlistItems(buf), ui),
                 DrawingImportOutcome::Completed);
        QCOMPARE(ui.texts(), messages);
        QCOMPARE(field(*ws, 1, cond_a), step1Cond);
        QCOMPARE(field(*ws, 2, then_next), step2Then);
        QCOMPARE(field(*ws, 5, else_next), kNextOut);
    }

    // Faults that end the import: the message, and the previous program stays.
    void importEnds_data()
    {
        QTest::addColumn<QByteArray>("drawing");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<DrawingImportOutcome>("outcome");

        const QString readError = QStringLiteral("Ошибка считывания файла!!!");
        QTest::newRow("box that no step leads to")
            << DrawingBuilder().step(1, QStringLiteral("INP1 = 1")).box(QLatin1Char('Y'), 4, QStringLiteral("OUT1 = 1")).bytes()
            << QStringList{QStringLiteral("Ошибка -Attributes- блок Y4\"")} << DrawingImportOutcome::Aborted;
        QTest::newRow("list number above 32")
            << DrawingBuilder()
                   .step(1, QStringLiteral("INP1 = 1"))
                   .box(QLatin1Char('N'), 1, QStringLiteral("OUT1 = 1"), QStringLiteral("1,33"))
                   .net({"A1:2", "N1:1"})
                   .bytes()
            << QStringList{QStringLiteral("Ошибка -Attributes- блок N1\"")} << DrawingImportOutcome::Aborted;
        QTest::newRow("flag range above 32")
            << DrawingBuilder()
                   .box(QLatin1Char('Y'), 12, QStringLiteral("OUT1 = 1"), {}, {}, {}, QStringLiteral("30-40"))
                   .net({"A1:3", "Y12:1"})
                   .bytes()
            << QStringList{QStringLiteral("Ошибка -Attributes- блок Y12\"")} << DrawingImportOutcome::Aborted;
        QTest::newRow("step above 128")
            << DrawingBuilder().step(129, QStringLiteral("INP1 = 1")).net({"A129:3", "A1:1"}).bytes()
            << QStringList{QStringLiteral("Ошибка -Attributes- блок A129")} << DrawingImportOutcome::Aborted;
        DrawingBuilder noEnd;
        noEnd.step(1, QStringLiteral("INP1 = 1"))
            .raw(QStringLiteral("(compInst \"Y1\"")).raw(QStringLiteral("(compRef \"A\")"))
            .raw(QStringLiteral("(originalName \"A\")")).raw(QStringLiteral("(attr \"c\" \"\")"))
            .raw(QStringLiteral("(attr \"o\" \"\")")).raw(QStringLiteral("(attr \"o\" \"\")"))
            .raw(QStringLiteral("(attr \"DDDDDDDDDDDDDDDD\" \"OUT1 = 1\")"))
            .net({"A1:3", "Y1:1"});
        QTest::newRow("action without its end")
            << noEnd.bytes() << QStringList{QStringLiteral("Ошибка netlist!!!")} << DrawingImportOutcome::Aborted;
        DrawingBuilder missing;
        missing.step(1, QStringLiteral("INP1 = 1")).raw(QStringLiteral("(compInst \"Y1\"")).net({"A1:3", "Y1:1"});
        QTest::newRow("missing attribute items")
            << missing.bytes() << QStringList{QStringLiteral("Ошибка netlist!!!")} << DrawingImportOutcome::Aborted;
        QTest::newRow("no netlist item")
            << DrawingBuilder().step(1, QStringLiteral("INP1 = 1")).bytes(false) << QStringList{readError}
            << DrawingImportOutcome::ReadFailed;
        DrawingBuilder big;
        for (int i = 0; i < 1000; ++i)
            big.step(1, QStringLiteral("INP1 = 1"));
        QTest::newRow("more than 5000 items")
            << big.bytes() << QStringList{readError} << DrawingImportOutcome::ReadFailed;
    }
    void importEnds()
    {
        QFETCH(QByteArray, drawing);
        QFETCH(QStringList, messages);
        QFETCH(DrawingImportOutcome, outcome);
        auto ws = makeAlgorithmWorkspace();
        fillPreviousProgram(*ws);
        const Snapshot before(*ws);
        QBuffer buf(&drawing);
        buf.open(QIODevice::ReadOnly);
        ScriptedInteraction ui;
        QCOMPARE(importAlgorithmDrawingItems(ws->blocks, ws->alg, kAlgBlock, readNetlistItems(buf), ui), outcome);
        QCOMPARE(ui.texts(), messages);
        for (const Message& m : ui.messages)
            QCOMPARE(m.icon, MessageIcon::None);
        QVERIFY(before == *ws);
    }

    void exactlyFiveThousandItemsAreRead()
    {
        DrawingBuilder d;
        d.step(1, QStringLiteral("INP7 = 1"));
        for (int i = d.items().count(); i < 5000; ++i)
            d.raw(QStringLiteral("(x)"));
        QCOMPARE(d.items().count(), 5000);
        auto ws = makeAlgorithmWorkspace();
        ScriptedInteraction ui;
        QCOMPARE(run(*ws, d, ui), DrawingImportOutcome::Completed);
        QCOMPARE(field(*ws, 1, cond_a), 7);
    }

    void unknownLettersAndNumbersOutOfRangeAreIgnored()
    {
        DrawingBuilder d;
        d.step(1, QStringLiteral("INP1 = 1"))
            .plain(QStringLiteral("Q5"))
            .plain(QStringLiteral("R999"))
            .net({"A1:3", "Q5:1"})
            .net({"A1:2", "A999:1"})
            .net({"A999:3", "A1:1"})
            .net({"Y999:2", "A1:1"})
            .net({"Q5:2", "A0:1"})
            .net({"A0:3", "A1:1"});
        auto ws = makeAlgorithmWorkspace();
        const Snapshot before(*ws);
        ScriptedInteraction ui;
        QCOMPARE(run(*ws, d, ui), DrawingImportOutcome::Completed);
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(field(*ws, 1, then_next), kNextOut);
        QCOMPARE(field(*ws, 1, else_next), kNextOut);
        // Nothing outside the block's fields and setpoints changed.
        for (int i = 0; i < BlockTable::kTexts; ++i)
            if (i < kTextBase || i >= kTextBase + kProgramTexts)
                QCOMPARE(ws->blocks.TextStore[i], before.texts[i]);
        QVERIFY(ws->blocks.ParamStore == before.params);
    }

    void files()
    {
        auto ws = makeAlgorithmWorkspace();
        fillPreviousProgram(*ws);
        const Snapshot before(*ws);
        ScriptedInteraction ui;
        // No file chosen: nothing happens.
        QCOMPARE(importAlgorithmDrawing(ws->blocks, ws->alg, kAlgBlock, QString(), ui), DrawingImportOutcome::NoFile);
        QVERIFY(ui.messages.isEmpty());
        QTemporaryDir dir;
        QCOMPARE(importAlgorithmDrawing(ws->blocks, ws->alg, kAlgBlock, dir.filePath(QStringLiteral("none.net")), ui),
                 DrawingImportOutcome::CannotOpen);
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("Ошибка имя файла!!!")});
        // Not an algorithm block.
        QCOMPARE(importAlgorithmDrawing(ws->blocks, ws->alg, kAlgBlock + 1, QStringLiteral(OSTREL_EXAMPLES "/boiler_algorithm.net"), ui),
                 DrawingImportOutcome::NotAlgorithmBlock);
        QVERIFY(before == *ws);
    }

    // The example drawing saved as UTF-8 (with or without a byte-order mark)
    // gives the same program, comments and call flags as the original.
    void exampleDrawingAsUtf8_data()
    {
        QTest::addColumn<QByteArray>("prefix");
        QTest::newRow("UTF-8") << QByteArray();
        QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF");
    }
    void exampleDrawingAsUtf8()
    {
        QFETCH(QByteArray, prefix);
        const QString path = QStringLiteral(OSTREL_EXAMPLES "/boiler_algorithm.net");
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QTemporaryDir dir;
        const QString utf8Path = dir.filePath(QStringLiteral("utf8.net"));
        QFile out(utf8Path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(prefix + QString(QStringDecoder("windows-1251").decode(f.readAll())).toUtf8());
        out.close();

        auto reference = makeAlgorithmWorkspace();
        auto ws = makeAlgorithmWorkspace();
        ScriptedInteraction ui;
        QCOMPARE(importAlgorithmDrawing(reference->blocks, reference->alg, kAlgBlock, path, ui), DrawingImportOutcome::Completed);
        QCOMPARE(importAlgorithmDrawing(ws->blocks, ws->alg, kAlgBlock, utf8Path, ui), DrawingImportOutcome::Completed);
        QCOMPARE(ui.texts(), QStringList{});
        QVERIFY(Snapshot(*reference) == *ws);
        QCOMPARE(ws->alg.alg_comments[0], QStringLiteral("Нагрев до уставки"));
    }

    void exampleDrawing()
    {
        auto ws = makeAlgorithmWorkspace();
        ScriptedInteraction ui;
        QCOMPARE(importAlgorithmDrawing(ws->blocks, ws->alg, kAlgBlock, QStringLiteral(OSTREL_EXAMPLES "/boiler_algorithm.net"), ui),
                 DrawingImportOutcome::Completed);
        QCOMPARE(ui.texts(), QStringList{});
        // Step 1: burner on while the water is below SP1, else off.
        QCOMPARE(field(*ws, 1, cond_a), 1);
        QCOMPARE(field(*ws, 1, ops), 1);
        QCOMPARE(field(*ws, 1, cond_b), 34);
        QCOMPARE(setpoint(ws->blocks, kAlgBlock, 1), 60.0f);
        QCOMPARE(field(*ws, 1, then_kind), 1);
        QCOMPARE(field(*ws, 1, then_operand), 1);
        QCOMPARE(field(*ws, 1, then_outputs), PackBits({1, 0, 0, 0}));
        QCOMPARE(field(*ws, 1, then_flags), PackBits({1, 0, 0, 0}));
        QCOMPARE(field(*ws, 1, then_next), 1);
        QCOMPARE(field(*ws, 1, else_kind), 1);
        QCOMPARE(field(*ws, 1, else_operand), 0);
        QCOMPARE(field(*ws, 1, else_outputs), PackBits({2, 0, 0, 0}));
        QCOMPARE(field(*ws, 1, else_next), 2);
        // Step 2 calls step 4 through the C box, else goes on to step 3.
        QCOMPARE(field(*ws, 2, cond_a), 65);
        QCOMPARE(field(*ws, 2, ops), 9);
        QCOMPARE(field(*ws, 2, cond_b), 1);
        QCOMPARE(field(*ws, 2, then_next), 3);
        QCOMPARE(ws->alg.call_flags[1][0], uint8_t(1));
        QCOMPARE(field(*ws, 2, else_next), 2);
        QCOMPARE(ws->alg.call_flags[1][1], uint8_t(0));
        // Step 3 loops back to step 2.
        QCOMPARE(field(*ws, 3, cond_a), 97);
        QCOMPARE(field(*ws, 3, ops), 13);
        QCOMPARE(field(*ws, 3, cond_b), 30);
        QCOMPARE(field(*ws, 3, then_next), 1);
        QCOMPARE(field(*ws, 3, else_next), kNextOut);
        // Step 4, the called step, returns through R on both branches.
        QCOMPARE(field(*ws, 4, cond_a), 2);
        QCOMPARE(field(*ws, 4, ops), 2);
        QCOMPARE(field(*ws, 4, cond_b), 35);
        QCOMPARE(setpoint(ws->blocks, kAlgBlock, 2), 75.5f);
        QCOMPARE(field(*ws, 4, then_kind), 99);
        QCOMPARE(field(*ws, 4, then_operand), 3);
        QCOMPARE(field(*ws, 4, then_next), kNextRet);
        QCOMPARE(field(*ws, 4, else_next), kNextRet);
        QCOMPARE(ws->alg.alg_comments[0], QStringLiteral("Нагрев до уставки"));
        QByteArray image;
        QVERIFY(algorithmDownloadImage(ws->blocks, ws->alg, kAlgBlock, image));
    }
};

QTEST_GUILESS_MAIN(TestDrawingImport)
#include "test_drawing_import.moc"
