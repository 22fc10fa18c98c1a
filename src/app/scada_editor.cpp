#include "app/scada_editor.h"

#include "app/main_window.h"
#include "platform/interaction.h"
#include "scada/ui/element_dialogs.h"
#include "scada/ui/grid_dialog.h"
#include "scada/ui/page_canvas.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QGraphicsItem>
#include <QMenu>
#include <QWidget>

namespace ostrel {

ScadaEditor::ScadaEditor(Workspace& ws, Interaction& ui, MainWindow& window, const ElementPictures& pictures,
                         PagePainter& painter)
    : ws_(ws), ui_(ui), window_(window), editor_(ws.pages, state_), windowAlive_(&window)
{
    const ScadaActions& a = window.scadaActions();
    state_.lock = a.lock->isChecked();
    state_.current_page = window.shell().current_page;

    for (int p = 0; p < MainWindow::kPages; ++p) {
        auto* canvas = new PageCanvas({ws.pages, state_, editor_, pictures, painter, &ui}, p);
        canvases_[size_t(p)] = canvas;
        window.setPageCanvas(p, canvas);
        connect(canvas, &PageCanvas::pageChanged, this, &ScadaEditor::apply);
        connect(canvas, &PageCanvas::elementDoubleClicked, this, &ScadaEditor::openElement);
        connect(canvas, &PageCanvas::contextMenuRequested, this, &ScadaEditor::showEditMenu);
        connect(canvas, &PageCanvas::gestureFinished, this, &ScadaEditor::edited);
    }

    dialogs_ = std::make_unique<ElementDialogs>(
        ElementDialogContext{ws.pages, editor_, state_, ws.blocks, ws.catalog, ui, pictures,
                             [this] { return canvas(0).projectFolder(); }},
        &window);
    connect(dialogs_.get(), &ElementDialogs::pageChanged, this, &ScadaEditor::dialogEnded);
    grid_ = std::make_unique<GridDialog>(ws.pages, ui);
    window.registerSecondaryWindow(grid_.get());
    connect(grid_.get(), &QDialog::accepted, this, [this] { emit edited(QStringLiteral("координатная сетка")); });

    // The "&SCADA" menu.
    connect(a.background, &QAction::triggered, this, [this] {
        apply(editor_.chooseBackground(ui_));
        emit edited(QStringLiteral("фон страницы"));
    });
    connect(a.fillColor, &QAction::triggered, this, [this] {
        apply(editor_.chooseFillColor(ui_));
        emit edited(QStringLiteral("цвет заливки фона"));
    });
    connect(a.lock, &QAction::toggled, this, [this](bool on) { editor_.setLock(on); });
    connect(a.grid, &QAction::triggered, this, &ScadaEditor::showGridDialog);
    const std::pair<QAction*, ObjectKind> inserts[] = {
        {a.figura, ObjectKind::Figura}, {a.menu, ObjectKind::Menu},
        {a.text, ObjectKind::Text}, {a.goBlock, ObjectKind::GoBlock},
        {a.parametr, ObjectKind::Parametr}, {a.level, ObjectKind::Level},
        {a.signal, ObjectKind::Signal}, {a.textSignal, ObjectKind::TextSignal},
        {a.vent, ObjectKind::Vent}, {a.control, ObjectKind::Control},
        {a.grafik, ObjectKind::Grafik}, {a.clock, ObjectKind::Clock},
    };
    for (const auto& [action, kind] : inserts)
        connect(action, &QAction::triggered, this, [this, kind = kind] { insert(kind); });

    // The "&Редактировать" context menu acts on the current page.
    const EditActions& e = window.editActions();
    connect(e.copy, &QAction::triggered, this, [this] { clipboard_.copy(ws_.pages, state_); });
    connect(e.paste, &QAction::triggered, this, [this] {
        apply(clipboard_.paste(ws_.pages, state_));
        emit edited(QStringLiteral("вставка из буфера"));
    });
    connect(e.remove, &QAction::triggered, this, [this] {
        apply(PageClipboard::remove(ws_.pages, state_));
        emit edited(QStringLiteral("удаление"));
    });

    // The selected tab is the current page; the editor keeps a copy.
    connect(&window, &MainWindow::currentPageChanged, this, [this](int page) {
        state_.current_page = page;
        emit pagesChanged();
    });
    connect(&window, &MainWindow::scadaModeEntered, this, [this] {
        blink_.start();
        // The previews of page 1: level bars and parameter captions.
        canvas(0).refreshElements();
    });
    connect(&window, &MainWindow::schemeModeEntered, &blink_, &QTimer::stop);
    connect(&window, &MainWindow::projectStarted, this, [this] { projectReplaced(canvas(0).projectFolder()); });

    blink_.setInterval(kBlinkInterval);
    connect(&blink_, &QTimer::timeout, this, &ScadaEditor::tick);
}

ScadaEditor::~ScadaEditor()
{
    // The canvases refer to the editor: the tabs get placeholders back.
    if (windowAlive_)
        for (int p = 0; p < MainWindow::kPages; ++p)
            window_.setPageCanvas(p, new QWidget);
}

void ScadaEditor::tick()
{
    // The blink changes what is shown, not the pages.
    show(editor_.tick());
}

void ScadaEditor::show(const PageChanges& changes)
{
    for (PageCanvas* canvas : canvases_)
        canvas->apply(changes);
    if (!changes.tab_caption.isEmpty())
        window_.setPageTabCaption(changes.page, changes.tab_caption);
}

void ScadaEditor::apply(const PageChanges& changes)
{
    show(changes);
    if (!changes.isEmpty())
        emit pagesChanged();
}

void ScadaEditor::dialogEnded(const PageChanges& changes)
{
    apply(changes);
    // Named after the element the dialog stored or deleted.
    auto named = [](const QList<ElementRef>& refs) -> QString {
        for (const ElementRef& ref : refs)
            if (!ref.isTemplate())
                return elementName(ref);
        return {};
    };
    QString name;
    if (const QString n = named(changes.removed); !n.isEmpty())
        name = QStringLiteral("удаление: ") + n;
    else if (const QString n = named(changes.created); !n.isEmpty())
        name = QStringLiteral("вставка: ") + n;
    else if (const QString n = named(changes.updated); !n.isEmpty())
        name = QStringLiteral("изменение: ") + n;
    else
        name = QStringLiteral("изменение элемента");
    emit edited(name);
}

void ScadaEditor::pagesRestored(unsigned pageMask)
{
    // The frame and the selection may name elements that are gone.
    state_.frame = {};
    state_.clearSelection();
    state_.gesture = PageGesture::None;
    state_.group_offset = {};
    state_.group_moved = false;
    state_.handle_visible = false;
    state_.resize_target = {};
    for (int p = 0; p < MainWindow::kPages; ++p) {
        if ((pageMask & (1u << unsigned(p))) == 0 && p != state_.current_page)
            continue;
        canvases_[size_t(p)]->resync();
        window_.setPageTabCaption(p, pageTabCaption(ws_.pages, p));
    }
    emit pagesChanged();
}

void ScadaEditor::insert(ObjectKind kind)
{
    apply(editor_.insert(kind));
    syncLockMark();
    emit edited(QStringLiteral("вставка: ") + kindInfo(kind).tooltip_word.toString());
}

void ScadaEditor::syncLockMark()
{
    QAction* lock = window_.scadaActions().lock;
    if (lock->isChecked() != state_.lock)
        lock->setChecked(state_.lock);
}

void ScadaEditor::projectReplaced(const QString& projectFolder)
{
    editor_.projectReplaced();
    for (PageCanvas* canvas : canvases_) {
        canvas->setProjectFolder(projectFolder);
        canvas->rebuild();
    }
    window_.selectPage(state_.current_page);
    emit pagesChanged();
}

void ScadaEditor::setProjectFolder(const QString& projectFolder)
{
    for (PageCanvas* canvas : canvases_)
        canvas->setProjectFolder(projectFolder);
}

void ScadaEditor::showElement(const ElementRef& ref)
{
    if (!isValidRef(ref))
        return;
    window_.showScadaMode();
    window_.selectPage(ref.page);
    state_.clearSelection();
    state_.frame.rect = elementBounds(ws_.pages, ref, recordObjectPos(ws_.pages, ref)).adjusted(-2, -2, 2, 2);
    state_.frame.visible = true;
    state_.frame.page = ref.page;
    PageChanges changes;
    changes.frame = true;
    apply(changes);
    if (QGraphicsItem* item = canvas(ref.page).elementItem(ref))
        canvas(ref.page).ensureVisible(item);
}

void ScadaEditor::openElement(const ElementRef& ref)
{
    if (ref.kind == ObjectKind::Clock) {
        apply(editor_.deleteClock(ui_, ref.page));
        emit edited(QStringLiteral("удаление: ") + elementName(ref));
        return;
    }
    dialogs_->open(ref);
    // Dialogs are created on first use: each closes with the main window.
    for (QWidget* dialog : dialogs_->windows())
        window_.registerSecondaryWindow(dialog);
}

void ScadaEditor::showEditMenu(const QPoint& globalPos)
{
    QMenu* menu = window_.editMenu();
    menu->setDefaultAction(window_.editActions().copy);
    menu->popup(globalPos);
}

void ScadaEditor::showGridDialog()
{
    grid_->load();
    window_.showChildWindow(grid_.get());
}

} // namespace ostrel
