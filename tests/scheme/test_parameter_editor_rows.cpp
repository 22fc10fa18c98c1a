// The row model behind the parameter window, without widgets: whatever a
// user chooses or types in any row of any type, only the edited block's own
// parameters and texts change.
#include "scheme/parameter_rows.h"
#include "workspace/workspace.h"

#include <QtTest>
#include <memory>

using namespace ostrel;

class TestParameterRows : public QObject {
    Q_OBJECT

private slots:
    void everyRowStaysInsideItsBlock_data()
    {
        QTest::addColumn<int>("type");
        for (int type = 1; type <= 50; ++type)
            QTest::addRow("type %d", type) << type;
    }
    void everyRowStaysInsideItsBlock()
    {
        QFETCH(int, type);
        auto ws = std::make_unique<Workspace>();
        auto& b = ws->blocks;
        // The block between two neighbours that own parameters and texts.
        const int block = 2;
        b.block_type[1] = 25;
        b.block_type[block] = int16_t(type);
        b.block_type[3] = 25;
        const int pc = ws->catalog.paramCount(type), tc = ws->catalog.textCount(type);
        b.param_base[1] = 0;
        b.text_base[1] = 0;
        b.param_base[block] = 8;
        b.text_base[block] = 9;
        b.param_base[3] = int16_t(8 + pc);
        b.text_base[3] = int16_t(9 + tc);
        for (int i = 0; i < 400; ++i)
            b.ParamStore[i] = float(1000 + i);
        for (int i = 0; i < 6000; ++i)
            b.TextStore[i] = QStringLiteral("s%1").arg(i);
        for (int k = 0; k < pc; ++k)
            b.param(block, k) = 0;
        const auto params = b.ParamStore;
        const auto texts = b.TextStore;

        ParameterRows rows(ws->blocks, ws->catalog);
        QVERIFY(rows.load(block, 0));
        int edits = 0;
        auto editAll = [&] {
            for (int r = 0; r < rows.rowCount(); ++r) {
                const RowView& v = rows.row(r);
                if (rows.binding(r).selector)
                    continue;
                if (v.kind == RowKind::Number)
                    edits += rows.edit(r, QStringLiteral("3")) ? 1 : 0;
                else if (v.kind == RowKind::Name)
                    edits += rows.edit(r, QStringLiteral("x")) ? 1 : 0;
                else if (!v.items.isEmpty())
                    rows.choose(r, int(v.items.size()) - 1);
                // An enabled row must take the value; a disabled one must not.
                if (v.kind == RowKind::Number || v.kind == RowKind::Name)
                    QCOMPARE(rows.edit(r, v.kind == RowKind::Number ? QStringLiteral("4") : QStringLiteral("y")),
                             v.enabled);
            }
        };
        editAll();
        for (int r = 0; r < rows.rowCount(); ++r) {
            if (!rows.binding(r).selector)
                continue;
            for (int i = 0; i < rows.row(r).items.size(); ++i) {
                rows.choose(r, i);
                editAll();
            }
        }
        for (int i = 0; i < BlockTable::kParams; ++i)
            if (i < 8 || i >= 8 + pc)
                QCOMPARE(b.ParamStore[i], params[i]);
        for (int i = 0; i < BlockTable::kTexts; ++i)
            if (i < 9 || i >= 9 + tc)
                QCOMPARE(b.TextStore[i], texts[i]);
        if (rows.rowCount() == 0)
            QCOMPARE(edits, 0);
    }

    void selectorValues()
    {
        // Types 1..4 count channels from 1, the others from 0; the SCADA block
        // has two selectors.
        Workspace ws;
        ws.blocks.block_type[5] = 4;
        ws.blocks.block_type[6] = 43;
        ws.blocks.block_type[7] = 44;
        ParameterRows rows(ws.blocks, ws.catalog);
        QVERIFY(rows.load(5, 0));
        QCOMPARE(rows.context().c, 1);
        rows.choose(1, 7);
        QCOMPARE(rows.context().c, 8);
        QCOMPARE(rows.binding(2).index, 8);
        QVERIFY(rows.load(6, 0));
        rows.choose(0, 7);
        rows.choose(1, 23);
        QCOMPARE(rows.binding(2).index, 8 + 24 * 7 + 23);
        QVERIFY(!rows.row(2).enabled);
        QVERIFY(rows.load(7, 0));
        QCOMPARE(rows.row(0).items.size(), 3);
        rows.choose(0, 3); // beyond the list: ignored
        QCOMPARE(rows.context().c, 0);
        rows.choose(17, 0);
        rows.choose(-1, 0);
        QVERIFY(!rows.edit(17, QStringLiteral("1")));
    }

    void userNumbers_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<float>("value");
        QTest::newRow("C point") << "C" << " 1.5 " << true << 1.5f;
        QTest::newRow("C comma") << "C" << "1,5" << true << 1.5f;
        QTest::newRow("C grouped") << "C" << "1,000.5" << false << 0.0f;
        QTest::newRow("de comma") << "de_DE" << "1,5" << true << 1.5f;
        QTest::newRow("de point") << "de_DE" << "1.5" << true << 1.5f;
        QTest::newRow("nan") << "C" << "nan" << false << 0.0f;
        QTest::newRow("max float") << "C" << "3.4e38" << true << 3.4e38f;
        QTest::newRow("beyond") << "C" << "-3.5e38" << false << 0.0f;
        QTest::newRow("letters after") << "C" << "12kg" << false << 0.0f;
    }
    void userNumbers()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(float, value);
        QLocale::setDefault(QLocale(locale));
        const auto v = parseUserNumber(text);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(v.has_value(), ok);
        if (ok)
            QCOMPARE(*v, value);
    }
};

QTEST_GUILESS_MAIN(TestParameterRows)
#include "test_parameter_editor_rows.moc"
