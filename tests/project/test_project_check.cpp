// The project check over the example project: clean, and with one planted
// fault per case (the problem it adds and its place); the semantic diff of
// the example against copies with known changes; the snapshots the write
// journal keeps, read back without a difference.
#include "algorithm/step_program.h"
#include "project/project_check.h"
#include "project/project_diff.h"
#include "project/project_journal.h"
#include "project/project_reader.h"
#include "project/project_snapshot.h"
#include "project/record_field_names.h"
#include "link/sequences.h"
#include "scada/element_pictures.h"
#include "scada/kind_records.h"
#include "scada/page_painter.h"
#include "wire/page_encoder.h"
#include "wire/scheme_encoder.h"
#include "wire/transfer_state.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

using namespace ostrel;

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);
const QString kExample = kExamples + QStringLiteral("/boiler.prt");
constexpr int kFreeSlot = 30; // a slot the example leaves free on page 1

std::unique_ptr<Workspace> example()
{
    auto ws = std::make_unique<Workspace>();
    ScriptedInteraction ui;
    const ProjectReadResult r = readProject(*ws, kExample, ui);
    if (r.status != ProjectReadStatus::Ok)
        qFatal("example project not read");
    return ws;
}

QString codes(const QList<Problem>& problems)
{
    QStringList out;
    for (const Problem& p : problems)
        out << p.line();
    return out.join(QLatin1Char('\n'));
}

using Plant = std::function<void(Workspace&, CheckContext&, const QString& dir)>;

ParametrElement parametr(int block, uint8_t output)
{
    ParametrElement e;
    e.used = 1;
    e.x = 100;
    e.y = 100;
    e.font = 10;
    e.block = uint8_t(block);
    e.output = output;
    return e;
}

QString savedPicture(const QString& dir, const QString& name, const QImage& image)
{
    const QString path = dir + QLatin1Char('/') + name;
    if (!image.save(path, "PNG"))
        qFatal("picture not saved");
    return path;
}

void useBackground(Workspace& ws, int p, const QString& path)
{
    ws.pages.background_kind[size_t(p)] = 1;
    ws.pages.fullPath(p) = path;
    ws.pages.shortRef(p) = QLatin1Char('\\') + QFileInfo(path).fileName();
}

QImage noise()
{
    QImage image(800, 480, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = random.generate() | 0xFF000000u;
    }
    return image;
}

struct Expected {
    Severity severity;
    QString code;
    Place place;
};

} // namespace

Q_DECLARE_METATYPE(Plant)
Q_DECLARE_METATYPE(Expected)

class TestProjectCheck : public QObject {
    Q_OBJECT

private slots:
    // The example writes cleanly: no error; its one warning is a text
    // signal text that the controller cuts to 12 characters.
    void exampleHasNoError()
    {
        auto ws = example();
        CheckContext context{kExamples};
        const QList<Problem> problems = checkProject(*ws, context);
        QVERIFY2(!hasErrors(problems), qPrintable(codes(problems)));
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems[0].code, QStringLiteral("text-cut"));
        QCOMPARE(problems[0].place, Place::ofElement(1, ObjectKind::TextSignal, 1));
        QCOMPARE(problems[0].toJson().value(QStringLiteral("place")).toObject(),
                 (QJsonObject{{"page", 1}, {"kind", "text_signal"}, {"number", 1}}));
    }

    void plantedFault_data()
    {
        QTest::addColumn<Plant>("plant");
        QTest::addColumn<Expected>("expected");
        const Place slot = Place::ofElement(1, ObjectKind::Parametr, kFreeSlot);
        QTest::newRow("parameter bound to a block the scheme lacks")
            << Plant([](Workspace& ws, CheckContext&, const QString&) {
                   ws.pages.parametr[0][kFreeSlot] = parametr(50, 0);
               })
            << Expected{Severity::Error, "missing-block", slot};
        QTest::newRow("output beyond the block type's list")
            << Plant([](Workspace& ws, CheckContext&, const QString&) {
                   ws.pages.parametr[0][kFreeSlot] = parametr(4, 5); // D_O offers two outputs
               })
            << Expected{Severity::Error, "missing-output", slot};
        QTest::newRow("setpoint beyond the block type's list")
            << Plant([](Workspace& ws, CheckContext&, const QString&) {
                   ws.pages.parametr[0][kFreeSlot] = parametr(9, packParamOutput(3, true));
               })
            << Expected{Severity::Error, "missing-output", slot};
        QTest::newRow("signal with block 0")
            << Plant([](Workspace& ws, CheckContext&, const QString&) {
                   SignalElement& s = ws.pages.signal[0][kFreeSlot];
                   s.used = 1;
                   s.x = 100;
                   s.y = 100;
                   s.width = s.height = 20;
               })
            << Expected{Severity::Warning, "unbound", Place::ofElement(1, ObjectKind::Signal, kFreeSlot)};
        QTest::newRow("go-to a block the scheme lacks")
            << Plant([](Workspace& ws, CheckContext&, const QString&) {
                   ws.pages.go_block[0][kFreeSlot] = {1, 100, 100, 160, 0}; // process view of block 60
               })
            << Expected{Severity::Error, "missing-block", Place::ofElement(1, ObjectKind::GoBlock, kFreeSlot)};
        QTest::newRow("text signal text of 13 characters")
            << Plant([](Workspace& ws, CheckContext&, const QString&) {
                   TextSignalElement& t = ws.pages.text_signal[0][kFreeSlot];
                   t.used = 1;
                   t.x = t.y = 100;
                   t.text_off = QStringLiteral("Насос 1 выкл.");
                   t.text_on = QStringLiteral("вкл");
                   t.block = 1;
               })
            << Expected{Severity::Warning, "text-cut", Place::ofElement(1, ObjectKind::TextSignal, kFreeSlot)};
        QTest::newRow("figure beyond the right edge")
            << Plant([](Workspace& ws, CheckContext&, const QString&) {
                   ws.pages.figura[0][kFreeSlot] = {1, 780, 100, 40, 40, 0, 0, 1};
               })
            << Expected{Severity::Error, "off-page", Place::ofElement(1, ObjectKind::Figura, kFreeSlot)};
        QTest::newRow("background larger than the page")
            << Plant([](Workspace& ws, CheckContext&, const QString& dir) {
                   QImage big(900, 500, QImage::Format_RGB32);
                   big.fill(Qt::white);
                   useBackground(ws, 2, savedPicture(dir, QStringLiteral("big.png"), big));
               })
            << Expected{Severity::Error, "page-encoding", Place::ofPage(3)};
        QTest::newRow("band beyond 32000 bytes")
            << Plant([](Workspace& ws, CheckContext&, const QString& dir) {
                   useBackground(ws, 2, savedPicture(dir, QStringLiteral("noise.png"), noise()));
               })
            << Expected{Severity::Error, "page-encoding", Place::ofPage(3)};
        QTest::newRow("background picture that is not there")
            << Plant([](Workspace& ws, CheckContext&, const QString& dir) {
                   useBackground(ws, 2, dir + QStringLiteral("/gone.gif"));
               })
            << Expected{Severity::Error, "picture-missing", Place::ofPage(3)};
        QTest::newRow("control picture that is not there")
            << Plant([](Workspace& ws, CheckContext&, const QString&) {
                   ControlElement& c = ws.pages.control[0][kFreeSlot];
                   c.used = 1;
                   c.x = c.y = 100;
                   c.type = 1;
                   c.width = c.height = 40;
                   c.block = 1;
                   c.picture_file = QStringLiteral("\\gone.gif");
               })
            << Expected{Severity::Error, "picture-missing", Place::ofElement(1, ObjectKind::Control, kFreeSlot)};
        QTest::newRow("step jumping to no step")
            << Plant([](Workspace& ws, CheckContext&, const QString&) {
                   alg::setStepField(ws.blocks, 14, 2, alg::then_next, 200);
               })
            << Expected{Severity::Error, "expression", Place::ofStep(14, 3)};
        QTest::newRow("step field beyond a byte")
            << Plant([](Workspace& ws, CheckContext&, const QString&) {
                   alg::setStepField(ws.blocks, 14, 4, alg::cond_b, 300);
               })
            << Expected{Severity::Error, "expression", Place::ofStep(14, 5)};
        QTest::newRow("netlist not beside the project")
            << Plant([](Workspace&, CheckContext& context, const QString&) { context.netlistMissing = true; })
            << Expected{Severity::Warning, "netlist-missing", Place::project()};
    }

    // Each planted fault adds exactly its one problem to the example's.
    void plantedFault()
    {
        QFETCH(Plant, plant);
        QFETCH(Expected, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        auto ws = example();
        CheckContext context{kExamples};
        const QList<Problem> before = checkProject(*ws, context);
        plant(*ws, context, dir.path());
        QList<Problem> added;
        for (const Problem& p : checkProject(*ws, context))
            if (!before.contains(p))
                added << p;
        QVERIFY2(added.size() == 1, qPrintable(codes(added)));
        QCOMPARE(added[0].code, expected.code);
        QCOMPARE(added[0].severity, expected.severity);
        QCOMPARE(added[0].place, expected.place);
        QVERIFY(!added[0].message.isEmpty());
    }

    // A scope leaves out what it does not name: the scheme check sees no
    // page, a page check no other page.
    void scopeLimitsTheCheck()
    {
        auto ws = example();
        ws->pages.parametr[4][kFreeSlot] = parametr(50, 0);
        alg::setStepField(ws->blocks, 14, 2, alg::then_next, 200);
        CheckContext context{kExamples};
        const QList<Problem> scheme = checkProject(*ws, context, CheckScope::schemeOnly());
        QCOMPARE(scheme.size(), 1);
        QCOMPARE(scheme[0].code, QStringLiteral("expression"));
        const QList<Problem> page5 = checkProject(*ws, context, CheckScope::pagesOnly(1u << 4));
        QCOMPARE(page5.size(), 1);
        QCOMPARE(page5[0].code, QStringLiteral("missing-block"));
        QVERIFY(checkProject(*ws, context, CheckScope::pagesOnly(1u << 5)).isEmpty());
    }

    // The field names walk visitFields exactly.
    void fieldNamesMatchTheRecords()
    {
        forEachKind([](auto k) {
            using R = typename decltype(k)::Record;
            QCOMPARE(visitedFieldCount<R>(), kFieldCount<R>);
        });
    }

    // What the journal keeps reads back into the same model.
    void snapshotsReadBackWithoutDifference()
    {
        auto ws = example();
        auto back = std::make_unique<Workspace>();
        QVERIFY(schemeFromSnapshot(schemeSnapshot(*ws), *back));
        QCOMPARE(codesOf(diffSchemes(*back, *ws)), QStringList());
        for (int p = 0; p < 8; ++p) {
            QVERIFY(pageFromSnapshot(pageSnapshot(ws->pages, p), back->pages, p));
            QCOMPARE(codesOf(diffPage(back->pages, ws->pages, p)), QStringList());
        }
    }

    void diffListsExactlyTheChanges()
    {
        auto a = example();
        auto b = example();
        QCOMPARE(codesOf(diffProjects(*a, *b)), QStringList());
        // Parameter 1 of page 1 moves; signal 1 gets another colour; text
        // signal 1 moves and gets another text; a level comes, a figure goes.
        ParametrElement& moved = b->pages.parametr[0][1];
        QVERIFY(moved.used);
        moved.x = int16_t(moved.x + 10);
        moved.y = int16_t(moved.y + 5);
        QVERIFY(b->pages.signal[0][1].used);
        b->pages.signal[0][1].color = 0x123456;
        TextSignalElement& t = b->pages.text_signal[0][1];
        t.y = int16_t(t.y + 1);
        t.text_on = QStringLiteral("Горит");
        b->pages.level[1][kFreeSlot] = LevelElement{1, 10, 10, 10, 40};
        int figure = 1;
        while (!b->pages.figura[0][size_t(figure)].used)
            ++figure;
        b->pages.figura[0][size_t(figure)].used = 0;
        b->pages.fill_color[3] = 0x00FF00;
        // Block 1's first parameter, block 15 of another type, a step field,
        // the controller number.
        b->blocks.param(1, 1) += 1.0f;
        b->blocks.block_type[15] = 3;
        alg::setStepField(b->blocks, 14, 0, alg::cond_b, 77);
        b->settings.controller_number = 3;

        const QStringList expected{
            "changed project controller_number",
            "changed block 1 " + parameterCaption(b->catalog, b->blocks.block_type[1], 1, false),
            "changed block 14, step 1 cond_b",
            "changed block 15 type",
            "moved page 1, parametr 1 ",
            "changed page 1, signal 1 color",
            "moved page 1, text_signal 1 ",
            "changed page 1, text_signal 1 text_on",
            QStringLiteral("removed page 1, figura %1 ").arg(figure),
            "added page 2, level 30 ",
            "changed page 4 fill_color",
        };
        const QList<Change> changes = diffProjects(*a, *b);
        QCOMPARE(codesOf(changes), expected);
        // A move gives the object positions before and after.
        QCOMPARE(changes[4].old_value.toObject(), (QJsonObject{{"x", moved.x - 10}, {"y", moved.y - 5}}));
        QCOMPARE(changes[4].new_value.toObject(), (QJsonObject{{"x", moved.x}, {"y", moved.y}}));
        QCOMPARE(changes[5].old_value.toInteger(), qint64(a->pages.signal[0][1].color));
        QCOMPARE(changes[5].new_value.toInteger(), qint64(0x123456));
        QCOMPARE(changes[5].toJson().value("field").toString(), QStringLiteral("color"));
        QVERIFY(!changes[4].toJson().contains("field"));
    }

    // The project against records of what was last written: unchanged
    // parts, moved elements counted in the summary, a picture whose content
    // alone changed, a part never written to this controller.
    void changedPartsAgainstTheJournal()
    {
        QTemporaryDir dir;
        auto ws = example();
        ElementPictures pictures;
        PagePainter painter(pictures);
        const QString picture = savedPicture(dir.path(), QStringLiteral("plain.png"), QImage(100, 100, QImage::Format_RGB32));
        useBackground(*ws, 2, picture);
        auto ts = std::make_unique<TransferState>();
        JournalContents journal;
        journal.exists = true;
        const SchemeImage image = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
        journal.records << journalRecord(*ws, -1, schemeWireStream(image), QStringLiteral("COM1"));
        for (int p : {0, 2}) {
            QVERIFY(preparePage(painter, ws->pages, p, ws->version_code, kExamples, *ts).ok);
            journal.records << journalRecord(*ws, p, pageWireStream(*ts, uint8_t(ws->settings.controller_number), p),
                                             QStringLiteral("COM1"));
        }
        QList<PartState> parts = changedParts(*ws, journal, painter, kExamples);
        QCOMPARE(parts.size(), 9);
        QVERIFY(!parts[0].changed && !parts[1].changed && !parts[3].changed);
        QVERIFY(parts[2].changed && !parts[2].last);
        QVERIFY(parts[0].summary().startsWith(QStringLiteral("scheme: unchanged since ")));
        QVERIFY(parts[0].russianSummary().startsWith(QStringLiteral("схема: без изменений с записи ")));
        QCOMPARE(parts[2].summary(), QStringLiteral("page 2: never written to controller 1"));
        QCOMPARE(parts[2].russianSummary(), QStringLiteral("страница 2: не записывалась в контроллер 1"));

        ws->pages.parametr[0][1].x = int16_t(ws->pages.parametr[0][1].x + 4);
        ws->pages.signal[0][1].x = int16_t(ws->pages.signal[0][1].x + 4);
        QImage other(100, 100, QImage::Format_RGB32);
        other.fill(Qt::red);
        QVERIFY(other.save(picture, "PNG"));
        ws->blocks.param(1, 1) += 1.0f;
        parts = changedParts(*ws, journal, painter, kExamples);
        QVERIFY(parts[0].changed);
        QCOMPARE(parts[0].changes.size(), 1);
        QVERIFY(parts[1].changed);
        QCOMPARE(parts[1].changes.size(), 2);
        // "page 3: not written since 10.12.2026 14:02; 2 elements moved"
        const QString when = journal.records[1].time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
        QCOMPARE(parts[1].summary(), QStringLiteral("page 1: not written since %1; 2 elements moved").arg(when));
        QCOMPARE(parts[1].russianSummary(),
                 QStringLiteral("страница 1: не записывалась с %1; 2 элемента перемещено").arg(when));
        QCOMPARE(parts[0].summary().section(QLatin1String("; "), 1), QStringLiteral("1 field changed"));
        QVERIFY(parts[3].changed);
        QVERIFY(parts[3].changes.isEmpty());
        QVERIFY2(parts[3].summary().endsWith(QStringLiteral("; the image changed")), qPrintable(parts[3].summary()));
        QVERIFY(parts[3].russianSummary().endsWith(QStringLiteral("; изменилось изображение")));
        // Another controller has no write of any part.
        ws->settings.controller_number = 2;
        for (const PartState& st : changedParts(*ws, journal, painter, kExamples))
            QVERIFY(!st.last && st.changed);
    }

private:
    static QStringList codesOf(const QList<Change>& changes)
    {
        QStringList out;
        for (const Change& c : changes)
            out << changeKindName(c.kind) + QLatin1Char(' ') + (c.place.text().isEmpty() ? "project" : c.place.text())
                    + QLatin1Char(' ') + c.field;
        return out;
    }
};

QTEST_MAIN(TestProjectCheck)
#include "test_project_check.moc"
