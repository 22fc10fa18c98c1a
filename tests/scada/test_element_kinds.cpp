// The element-kind table against what it describes: the page model's tables,
// the project file's label lines, the insert items and create_mode.
#include "project/project_writer.h"
#include "scada/element_kinds.h"
#include "scada/kind_records.h"
#include "scada/page_editing.h"
#include "workspace/workspace.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>
#include <memory>

using namespace ostrel;

Q_DECLARE_METATYPE(ObjectKind)

class TestElementKinds : public QObject {
    Q_OBJECT
private slots:
    void rowsMatchTheirTables();
    void namesAndOrdersAreDistinct();
    void projectFileHoldsEverySlotUnderItsLabel();
    void insertStoresTheRowsCreateMode_data();
    void insertStoresTheRowsCreateMode();
};

void TestElementKinds::rowsMatchTheirTables()
{
    auto pages = std::make_unique<ScadaPages>();
    forEachKind([&](auto tag) {
        using K = decltype(tag);
        const ElementKindInfo& row = K::info();
        const QByteArray name = row.table_name.toString().toLatin1();
        QVERIFY2(row.kind == K::kind, name);
        QVERIFY2(kKindOfRecord<typename K::Record> == K::kind, name);
        QCOMPARE(row.numbered(), int(K::kind) < kNumberedKinds);
        const auto& table = K::table(*pages);
        QCOMPARE(int(table.size()), ScadaPages::kPages);
        if constexpr (K::info().numbered()) {
            QCOMPARE(int(table[0].size()), row.slot_count);
            QCOMPARE(row.max_number, row.slot_count - 1);
            QVERIFY2(ScadaPages::validSlot(K::kind, ScadaPages::kPages - 1, row.max_number), name);
            QVERIFY2(!ScadaPages::validSlot(K::kind, 0, row.slot_count), name);
            // The used flag the model hands out is the record's own.
            QCOMPARE(pages->usedFlag(K::kind, 2, row.max_number), &table[2][size_t(row.max_number)].used);
        } else {
            QCOMPARE(row.slot_count, 0);
            QCOMPARE(row.max_number, 0);
            QCOMPARE(&K::record(*pages, 2, 0), &table[3]); // page p at position p + 1
            QVERIFY2(row.clipboard_rank < 0 && !row.resize, name);
        }
    });
}

void TestElementKinds::namesAndOrdersAreDistinct()
{
    QSet<QString> tables, labels, words, items;
    QSet<int> z;
    for (const ElementKindInfo& row : kElementKinds) {
        tables.insert(row.table_name.toString());
        labels.insert(row.file_label.toString());
        words.insert(row.tooltip_word.toString());
        items.insert(row.insert_text.toString());
        z.insert(row.z);
    }
    QCOMPARE(tables.size(), kObjectKinds);
    QCOMPARE(labels.size(), kObjectKinds);
    QCOMPARE(words.size(), kObjectKinds);
    QCOMPARE(items.size(), kObjectKinds);
    QCOMPARE(z.size(), kObjectKinds);
    // Ranks 0..n-1 each once, so the clipboard order names every framed kind.
    QSet<ObjectKind> framed;
    for (ObjectKind kind : kClipboardOrder)
        framed.insert(kind);
    QCOMPARE(framed.size(), kClipboardKinds);
    // The page image is painted below every live kind on the canvas.
    int highestImage = 0;
    for (ObjectKind kind : kPageImageOrder)
        highestImage = std::max(highestImage, kindInfo(kind).z);
    for (const ElementKindInfo& row : kElementKinds)
        if (!row.in_page_image)
            QVERIFY(row.z > highestImage);
}

void TestElementKinds::projectFileHoldsEverySlotUnderItsLabel()
{
    // Version 5 stores every table, the mechanisms included.
    auto ws = std::make_unique<Workspace>();
    QCOMPARE(int(ws->version_code), 5);
    const QString text = QStringDecoder("windows-1251").decode(projectFileBytes(*ws, QLocale::c()));
    QHash<QString, int> lines;
    static const QRegularExpression label(QStringLiteral("^Страница SCADA  - \\d(.+) - \\d+$"));
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        const auto m = label.match(line);
        if (m.hasMatch())
            ++lines[m.captured(1)];
    }
    for (const ElementKindInfo& row : kElementKinds) {
        const int records = ScadaPages::kPages * (row.numbered() ? row.slot_count : 1);
        QVERIFY2(lines.value(row.file_label.toString()) == records, row.file_label.toString().toUtf8());
    }
}

void TestElementKinds::insertStoresTheRowsCreateMode_data()
{
    QTest::addColumn<ObjectKind>("kind");
    for (const ElementKindInfo& row : kElementKinds)
        QTest::newRow(row.table_name.toString().toLatin1()) << row.kind;
}

void TestElementKinds::insertStoresTheRowsCreateMode()
{
    QFETCH(ObjectKind, kind);
    auto pages = std::make_unique<ScadaPages>();
    PageEditorState state;
    PageEditor editor(*pages, state);
    editor.insert(kind);
    QCOMPARE(state.create_mode, kindInfo(kind).create_mode);
    // A double-click inserts the same kind again: the numbered kinds' modes
    // are distinct; the graph and clock are never repeated.
    const auto again = repeatedKind(state.create_mode);
    if (kindInfo(kind).numbered())
        QCOMPARE(again, std::optional<ObjectKind>(kind));
    else
        QVERIFY(!again);
}

QTEST_GUILESS_MAIN(TestElementKinds)
#include "test_element_kinds.moc"
