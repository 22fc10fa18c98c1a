// Copy, paste and delete of what the selection frame holds.
#include "editor_fixture.h"
#include "scada/page_clipboard.h"

#include <QTest>

using namespace ostrel;
using fixture::fieldsAt;
using fixture::fillAt;

Q_DECLARE_METATYPE(ObjectKind)

class PageClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void copyDeletePaste_data();
    void copyDeletePaste();
    void pasteMovesTheGroupToThePointer();
    void frameBorders_data();
    void frameBorders();
    void kindOrderAndLowestFreeNumbers();
    void signalAcrossPagesKeepsListAndShape();
    void type13ControlKeepsItsPlace();
    void fullPageSkipsItsKindOnly();
    void emptyFrame();
    void freeSlotsAndOtherPages();
};

void PageClipboardTest::copyDeletePaste_data()
{
    // Each element is filled with 16-bit fields 7, 32-bit 9, bytes 5, texts
    // "abc"; after the delete its slot gets stale 3/4/2/"old" values as a
    // dialog's delete may leave them, and the paste reuses that slot.
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<QStringList>("deleted");
    QTest::addColumn<QStringList>("pasted");
    QTest::newRow("parameter") << ObjectKind::Parametr
        << QStringList{"0", "0", "0", "0", "0", "0", "10", "0", "0", "0"}
        << QStringList{"1", "200", "300", "9", "9", "5", "5", "5", "0", "0"};
    QTest::newRow("signal") << ObjectKind::Signal
        << QStringList{"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}
        << QStringList{"1", "200", "300", "7", "7", "9", "9", "5", "5", "0", "0"};
    QTest::newRow("text signal") << ObjectKind::TextSignal
        << QStringList{"0", "0", "0", "0", "0", "0", " ", " ", "0", "0", "0", "0"}
        << QStringList{"1", "200", "300", "5", "9", "9", "abc", "abc", "5", "5", "0", "0"};
    QTest::newRow("level") << ObjectKind::Level
        << QStringList{"0", "0", "0", "0", "0", "0", "0", "10", "0", "0", "0"}
        << QStringList{"1", "200", "300", "7", "7", "0", "9", "9", "5", "0", "0"};
    QTest::newRow("text") << ObjectKind::Text
        << QStringList{"0", "0", "0", "0", " ", "10", "0", "0", "0"}
        << QStringList{"1", "200", "300", "9", "abc", "abc", "7", "7", "5"};
    QTest::newRow("control") << ObjectKind::Control
        << QStringList{"0", "0", "0", "0", "0", " ", "0", "7", "0"}
        << QStringList{"1", "200", "300", "0", "5", "abc", "7", "7", "5"};
    QTest::newRow("go-to") << ObjectKind::GoBlock
        << QStringList{"0", "0", "0", "0", "7"}
        << QStringList{"1", "200", "300", "0", "7"};
    QTest::newRow("mechanism") << ObjectKind::Vent
        << QStringList{"0", "0", "0", "0", "0", "0", "10", "0"}
        << QStringList{"1", "200", "300", "7", "7", "9", "0", "0"};
    QTest::newRow("figure") << ObjectKind::Figura
        << QStringList{"0", "0", "0", "0", "0", "0", "10", "0"}
        << QStringList{"1", "200", "300", "7", "7", "9", "7", "7"};
}

void PageClipboardTest::copyDeletePaste()
{
    QFETCH(ObjectKind, kind);
    QFETCH(QStringList, deleted);
    QFETCH(QStringList, pasted);
    fixture::Editor f;
    f.state.current_page = 3;
    const ElementRef ref{kind, 3, 1};
    fillAt(*f.pages, ref, {7, 9, 5, QStringLiteral("abc")});
    f.frame({0, 0}, {100, 100});

    PageClipboard clipboard;
    clipboard.copy(*f.pages, f.state);
    QCOMPARE(clipboard.entries().size(), 1);
    QCOMPARE(clipboard.minimum(), QPoint(7, 7));

    const PageChanges removed = PageClipboard::remove(*f.pages, f.state);
    QCOMPARE(removed.removed, QList<ElementRef>{ref});
    QCOMPARE(fieldsAt(*f.pages, ref), deleted);
    QVERIFY(f.state.frame.visible); // the frame stays

    fillAt(*f.pages, ref, {3, 4, 2, QStringLiteral("old")});
    withRecord(*f.pages, ref, [](auto& e) { e.used = 0; });
    f.editor.pointerMoved({200, 300});
    const PageChanges changes = clipboard.paste(*f.pages, f.state);
    QCOMPARE(changes.created, QList<ElementRef>{ref});
    QCOMPARE(fieldsAt(*f.pages, ref), pasted);
    QCOMPARE(f.state.frame.rect, QRect(200, 300, 0, 0));
    QVERIFY(f.state.frame.visible);
}

void PageClipboardTest::pasteMovesTheGroupToThePointer()
{
    fixture::Editor f;
    const ElementRef corner = f.place(ObjectKind::Parametr, 0, 1, {100, 50});
    const ElementRef right = f.place(ObjectKind::Figura, 0, 1, {650, 80});
    const ElementRef low = f.place(ObjectKind::Level, 0, 1, {150, 400});
    f.frame({90, 40}, {700, 450});
    PageClipboard clipboard;
    clipboard.copy(*f.pages, f.state);
    QCOMPARE(clipboard.minimum(), QPoint(100, 50));
    QCOMPARE(clipboard.sourcePage(), 0);

    f.state.current_page = 1;
    f.editor.pointerMoved({300, 200});
    const PageChanges changes = clipboard.paste(*f.pages, f.state);
    QCOMPARE(changes.created.size(), 3);
    QCOMPARE(f.raw({ObjectKind::Parametr, 1, 1}), QPoint(300, 200));  // +200, +150
    QCOMPARE(f.raw({ObjectKind::Figura, 1, 1}), QPoint(790, 230));    // 850 -> 790
    QCOMPARE(f.raw({ObjectKind::Level, 1, 1}), QPoint(350, 470));     // 550 -> 470
    // The sources stay; a second paste gives new numbers.
    QCOMPARE(f.raw(corner), QPoint(100, 50));
    QCOMPARE(f.raw(right), QPoint(650, 80));
    QCOMPARE(f.raw(low), QPoint(150, 400));
    f.editor.pointerMoved({0, 0});
    clipboard.paste(*f.pages, f.state);
    QCOMPARE(f.raw({ObjectKind::Parametr, 1, 2}), QPoint(0, 0));
    QCOMPARE(f.raw({ObjectKind::Figura, 1, 2}), QPoint(550, 30));
}

void PageClipboardTest::frameBorders_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("copied");
    // The frame spans Left 100, Top 100, Width 100, Height 50.
    QTest::newRow("on the left border") << QPoint(100, 120) << false;
    QTest::newRow("on the top border") << QPoint(120, 100) << false;
    QTest::newRow("on the right border") << QPoint(200, 120) << false;
    QTest::newRow("on the bottom border") << QPoint(120, 150) << false;
    QTest::newRow("just inside the corner") << QPoint(101, 101) << true;
    QTest::newRow("just inside the far corner") << QPoint(199, 149) << true;
}

void PageClipboardTest::frameBorders()
{
    QFETCH(QPoint, pos);
    QFETCH(bool, copied);
    fixture::Editor f;
    const ElementRef ref = f.place(ObjectKind::Text, 0, 5, pos);
    f.frame({100, 100}, {200, 150});
    // The frame's own test includes the left and top borders.
    f.editor.pagePress({150, 120});
    f.editor.pageRelease({150, 120});
    QCOMPARE(f.state.isSelected(ref), pos.x() < 200 && pos.y() < 150);
    PageClipboard clipboard;
    clipboard.copy(*f.pages, f.state);
    QCOMPARE(clipboard.entries().size(), copied ? 1 : 0);
    PageClipboard::remove(*f.pages, f.state);
    QCOMPARE(isOccupied(*f.pages, ref), !copied);
}

void PageClipboardTest::kindOrderAndLowestFreeNumbers()
{
    fixture::Editor f;
    f.place(ObjectKind::Figura, 0, 2, {20, 20});
    f.place(ObjectKind::Parametr, 0, 9, {30, 30});
    f.place(ObjectKind::Parametr, 0, 4, {40, 40});
    f.place(ObjectKind::Text, 0, 64, {50, 50});
    f.place(ObjectKind::Signal, 0, 1, {60, 60});
    f.frame({10, 10}, {100, 100});
    PageClipboard clipboard;
    clipboard.copy(*f.pages, f.state);
    QList<ElementRef> sources;
    for (const auto& entry : clipboard.entries())
        sources << entry.source;
    QCOMPARE(sources, (QList<ElementRef>{{ObjectKind::Parametr, 0, 4}, {ObjectKind::Parametr, 0, 9},
                                         {ObjectKind::Signal, 0, 1}, {ObjectKind::Text, 0, 64},
                                         {ObjectKind::Figura, 0, 2}}));
    // On page 2, parameter 1 is taken: the copies get 2 and 3, the rest 1.
    f.state.current_page = 1;
    f.place(ObjectKind::Parametr, 1, 1, {700, 400});
    f.editor.pointerMoved({110, 110});
    const PageChanges changes = clipboard.paste(*f.pages, f.state);
    QCOMPARE(changes.created, (QList<ElementRef>{{ObjectKind::Parametr, 1, 2}, {ObjectKind::Parametr, 1, 3},
                                                 {ObjectKind::Signal, 1, 1}, {ObjectKind::Text, 1, 1},
                                                 {ObjectKind::Figura, 1, 1}}));
    QCOMPARE(f.raw({ObjectKind::Parametr, 1, 2}), QPoint(130, 130)); // copy of number 4
    QCOMPARE(f.raw({ObjectKind::Parametr, 1, 3}), QPoint(120, 120)); // copy of number 9
    QCOMPARE(f.raw({ObjectKind::Figura, 1, 1}), QPoint(110, 110));
}

void PageClipboardTest::signalAcrossPagesKeepsListAndShape()
{
    fixture::Editor f;
    SignalElement& s = f.pages->signal[0][3];
    s = {1, 200, packListY(120, 2), packSignalWidth(40, 6), packSignalHeight(20, 6), 0xff, 0xff00, 0, 1, 12, 3};
    f.frame({150, 100}, {300, 200});
    PageClipboard clipboard;
    clipboard.copy(*f.pages, f.state);
    f.state.current_page = 4;
    f.editor.pointerMoved({10, 460});
    clipboard.paste(*f.pages, f.state);
    const SignalElement& p = f.pages->signal[4][1];
    QCOMPARE(listNumber(p.y), 2);
    QCOMPARE(listTop(p.y), 460);
    QCOMPARE(signalShape(p.width, p.height), 6);
    QCOMPARE(QSize(signalSize(p.width), signalSize(p.height)), QSize(40, 20));
    QCOMPARE(int(p.block), 0);
}

void PageClipboardTest::type13ControlKeepsItsPlace()
{
    // The group's corner is the picture's top-left; the stored y stays 10 below it.
    fixture::Editor f;
    f.pages->control[0][1].type = 13;
    const ElementRef control = f.place(ObjectKind::Control, 0, 1, {100, 50});
    QCOMPARE(f.raw(control), QPoint(100, 60));
    f.frame({90, 40}, {200, 200});
    PageClipboard clipboard;
    clipboard.copy(*f.pages, f.state);
    QCOMPARE(clipboard.minimum(), QPoint(100, 50));
    f.editor.pointerMoved({300, 200});
    clipboard.paste(*f.pages, f.state);
    const ElementRef pasted{ObjectKind::Control, 0, 2};
    QCOMPARE(f.editor.objectPos(pasted), QPoint(300, 200));
    QCOMPARE(f.raw(pasted), QPoint(300, 210));
    // Clamped by its picture's top.
    f.editor.pointerMoved({300, 479});
    clipboard.paste(*f.pages, f.state);
    QCOMPARE(f.raw({ObjectKind::Control, 0, 3}), QPoint(300, 480));
}

void PageClipboardTest::fullPageSkipsItsKindOnly()
{
    fixture::Editor f;
    f.place(ObjectKind::Parametr, 0, 1, {20, 20});
    f.place(ObjectKind::Parametr, 0, 2, {30, 30});
    f.place(ObjectKind::Figura, 0, 1, {40, 40});
    f.frame({10, 10}, {100, 100});
    PageClipboard clipboard;
    clipboard.copy(*f.pages, f.state);
    f.state.current_page = 2;
    for (int n = 1; n <= 32; ++n)
        f.place(ObjectKind::Parametr, 2, n, {n, n});
    const auto before = f.pages->parametr[2];
    f.editor.pointerMoved({400, 400});
    const PageChanges changes = clipboard.paste(*f.pages, f.state);
    QCOMPARE(changes.created, (QList<ElementRef>{{ObjectKind::Figura, 2, 1}}));
    for (int n = 0; n < ScadaPages::kSlots; ++n)
        QCOMPARE(fixture::fieldsOf(f.pages->parametr[2][size_t(n)]), fixture::fieldsOf(before[size_t(n)]));
    QCOMPARE(f.raw({ObjectKind::Figura, 2, 1}), QPoint(420, 420));
}

void PageClipboardTest::emptyFrame()
{
    fixture::Editor f;
    f.place(ObjectKind::Parametr, 0, 1, {300, 300});
    f.frame({10, 10}, {100, 100});
    PageClipboard clipboard;
    clipboard.copy(*f.pages, f.state);
    QVERIFY(clipboard.entries().isEmpty());
    QCOMPARE(clipboard.minimum(), QPoint(900, 500));
    QCOMPARE(clipboard.frameSize(), QSize(0, 0));
    f.editor.pointerMoved({250, 150});
    const PageChanges changes = clipboard.paste(*f.pages, f.state);
    QVERIFY(changes.created.isEmpty());
    QVERIFY(changes.frame);
    QCOMPARE(f.state.frame.rect, QRect(250, 150, 0, 0));
    QVERIFY(f.state.frame.visible);
    QVERIFY(!isOccupied(*f.pages, {ObjectKind::Parametr, 0, 2}));
    QVERIFY(PageClipboard::remove(*f.pages, f.state).isEmpty());
}

void PageClipboardTest::freeSlotsAndOtherPages()
{
    fixture::Editor f;
    // A free slot whose stale position lies inside the frame is neither copied nor reset.
    f.pages->figura[0][1] = {0, 50, 50, 30, 30, 0xff, 0, 2};
    const QStringList stale = fieldsAt(*f.pages, {ObjectKind::Figura, 0, 1});
    const ElementRef fig = f.place(ObjectKind::Figura, 0, 2, {60, 60});
    f.frame({10, 10}, {100, 100});
    PageClipboard clipboard;
    clipboard.copy(*f.pages, f.state);
    QCOMPARE(clipboard.entries().size(), 1);
    // The frame lies on page 1: on page 2 it holds nothing.
    f.place(ObjectKind::Figura, 1, 1, {60, 60});
    f.state.current_page = 1;
    PageClipboard other;
    other.copy(*f.pages, f.state);
    QVERIFY(other.entries().isEmpty());
    QVERIFY(PageClipboard::remove(*f.pages, f.state).isEmpty());
    QVERIFY(isOccupied(*f.pages, {ObjectKind::Figura, 1, 1}));
    // Back on page 1 the delete takes the element and leaves the free slot alone.
    f.state.current_page = 0;
    f.editor.elementClick(fig);
    QVERIFY(f.state.handle_visible);
    const PageChanges removed = PageClipboard::remove(*f.pages, f.state);
    QCOMPARE(removed.removed, QList<ElementRef>{fig});
    QVERIFY(removed.handle);
    QVERIFY(!f.state.handle_visible);
    QCOMPARE(fieldsAt(*f.pages, {ObjectKind::Figura, 0, 1}), stale);
}

QTEST_GUILESS_MAIN(PageClipboardTest)
#include "test_page_clipboard.moc"
