// Pages edited through the page editor survive a save and a reopen field by
// field: moved, resized, pasted and deleted elements, a type-13 control, the
// grid, the backgrounds with their references and tab captions.
#include "project/page_layout.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "project_fixture.h"
#include "support/scripted_interaction.h"
#include "scada/page_clipboard.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;

namespace {

// The whole page model as the project file stores it, one entry per line.
struct PageLines {
    QStringList out;
    void i16(int16_t& v) { out << QString::number(v); }
    void i32(int32_t& v) { out << QString::number(v); }
    void u8(uint8_t& v) { out << QString::number(v); }
    void text(QString& t) { out << t; }
    void label(int page, const QString& kind, int n) { out << QString::number(page) + kind + QString::number(n); }
    void fixed(const QString& s) { out << s; }
    void before_control(ControlElement&) {}
    bool mechanisms() const { return true; }
};

QStringList pageLines(ScadaPages& pages)
{
    PageLines v;
    project::visitPages(pages, v);
    return v.out;
}

bool writePng(const QString& path)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image.save(path, "PNG");
}

// Number n of a kind as a dialog's Ok would allocate it on page p.
ElementRef allocate(ScadaPages& pages, ObjectKind kind, int p)
{
    return {kind, p, pages.allocate_slot(kind, p, 0)};
}

} // namespace

class PageEditRoundTripTest : public QObject {
    Q_OBJECT
private slots:
    void editedPagesSurviveSaveAndReopen();
};

void PageEditRoundTripTest::editedPagesSurviveSaveAndReopen()
{
    QTemporaryDir dir;
    auto ws = std::make_unique<Workspace>();
    ScadaPages& pages = ws->pages;
    PageEditorState state;
    PageEditor editor(pages, state);
    ScriptedInteraction ui;

    // Page 1: a parameter, a list-4 signal, a type-13 control, a circle, a menu.
    const ElementRef param = allocate(pages, ObjectKind::Parametr, 0);
    pages.parametr[0][size_t(param.number)] = {1, 40, 40, 0xff, 0xffffff, 1, 14, 2, 12, 0x81};
    const ElementRef signal = allocate(pages, ObjectKind::Signal, 0);
    pages.signal[0][size_t(signal.number)] = {1, 60, packListY(100, 4), packSignalWidth(15, 7),
                                              packSignalHeight(30, 7), 0xff, 0xff00, 0, 1, 3, 1};
    const ElementRef control = allocate(pages, ObjectKind::Control, 0);
    ControlElement& c = pages.control[0][size_t(control.number)];
    c.type = 13;
    c.width = c.height = 60;
    c.picture_file = QStringLiteral("\\button.gif");
    storeObjectPos(pages, control, {100, 50});
    const ElementRef circle = allocate(pages, ObjectKind::Figura, 0);
    pages.figura[0][size_t(circle.number)] = {1, 400, 300, 30, 10, 0x123456, 1, 2};
    const ElementRef menu = allocate(pages, ObjectKind::Menu, 0);
    storeObjectPos(pages, menu, {600, 400});
    editor.setMenuText(menu, QStringLiteral("Котёл"));
    pages.menu[0][size_t(menu.number)].target_page = 3;
    editor.insert(ObjectKind::Grafik);
    editor.insert(ObjectKind::Clock);

    // Drag the type-13 control freely, then on the button grid.
    editor.elementPress(control, editor.objectPos(control));
    editor.elementMove(control, {200, 150}, true);
    QCOMPARE(QPoint(c.x, c.y), QPoint(200, 160));
    QVERIFY(!applyGrid(pages, QStringLiteral("5"), true));
    editor.elementPress(control, editor.objectPos(control));
    editor.elementMove(control, {130, 100}, true);
    QCOMPARE(editor.objectPos(control), QPoint(130, 68));
    // Move the parameter and the signal down by 10 as a group.
    editor.pagePress({30, 30});
    editor.pageDrag({90, 120});
    editor.pageRelease({90, 120});
    editor.pagePress({50, 50});
    editor.pageDrag({50, 60});
    editor.pageRelease({50, 60});
    QCOMPARE(int(pages.signal[0][size_t(signal.number)].y), 4 * 1024 + 110);
    // Resize the circle.
    editor.elementClick(circle);
    editor.handlePress(state.handle_pos);
    editor.handleMove({460, 310}, true);
    QCOMPARE(pages.figura[0][size_t(circle.number)].size_y, int16_t(60));

    // Copy the group to page 3, delete it on page 1.
    PageClipboard clipboard;
    clipboard.copy(pages, state);
    QCOMPARE(clipboard.entries().size(), 2);
    QVERIFY(!PageClipboard::remove(pages, state).isEmpty());
    state.current_page = 2;
    editor.pointerMoved({500, 200});
    QCOMPARE(clipboard.paste(pages, state).created.size(), 2);

    // Backgrounds: a picture whose extension has four letters on page 3, a fill colour on page 2.
    const QString picture = dir.filePath("pump.jpeg");
    QVERIFY(writePng(picture));
    ui.fileAnswers << picture;
    QCOMPARE(editor.chooseBackground(ui).tab_caption, QStringLiteral("pump"));
    state.current_page = 1;
    ui.colorAnswers << QColor(10, 20, 30);
    QVERIFY(editor.chooseFillColor(ui).background);
    QVERIFY(ui.messages.isEmpty());

    const QStringList before = pageLines(pages);
    const QPoint controlPos = editor.objectPos(control);
    auto back = std::make_unique<Workspace>();
    const QByteArray bytes = projectFileBytes(*ws, QLocale::c());
    const ProjectReadResult r = readProjectBytes(*back, bytes, dir.path(), ui);
    QVERIFY(r.loaded());

    const QStringList after = pageLines(back->pages);
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i)
        QVERIFY2(after[i] == before[i], qPrintable(QStringLiteral("line %1: %2 / %3").arg(i).arg(before[i], after[i])));

    // The type-13 control is where it was; the picture is found again by its reference.
    PageEditorState again;
    PageEditor reopened(back->pages, again);
    QCOMPARE(reopened.objectPos(control), controlPos);
    QCOMPARE(back->pages.shortRef(2), QStringLiteral("\\pump.jpeg"));
    QCOMPARE(r.tabCaptions[2], QStringLiteral("pump"));
    QCOMPARE(r.tabCaptions[1], QStringLiteral("Страница 2"));
    QVERIFY(!loadPicture(r.backgroundFiles[2]).isNull());
    QVERIFY(!loadPageBackground(back->pages, 2, dir.path()).isNull());
}

QTEST_GUILESS_MAIN(PageEditRoundTripTest)
#include "test_page_edit_roundtrip.moc"
