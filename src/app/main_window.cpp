#include "app/main_window.h"

#include "app/settings_dialog.h"
#include "platform/interaction.h"
#include "scada/element_kinds.h"
#include "scheme/ui/scheme_overview.h"
#include "workspace/new_project.h"
#include "workspace/workspace.h"

#include <QCloseEvent>
#include <QDir>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>

namespace ostrel {

namespace {

// The "&SCADA" insert item of a kind.
QString insertText(ObjectKind kind)
{
    return kindInfo(kind).insert_text.toString();
}

const QString kProjectFilter = QStringLiteral("project file|*.prt");

struct VersionItem {
    const char* name;
    const char* caption;
    int code;
    const char* title;
};

// In menu order.
const VersionItem kVersions[4] = {
    {"mnuHelp4", "&Версия 4.5  (01/07/19) ", 5, "Конфигуратор Ostrel 4.51"},
    {"mnuHelp3", "&Версия 4.2  (01/04/17) ", 3, "Конфигуратор Ostrel 4.2"},
    {"mnuHelp1", "&Версия 3.0  (01/06/15) ", 0, "Конфигуратор Ostrel 2.0"},
    {"mnuHelp2", "&Версия 1.3  (01/01/15) ", 1, "Конфигуратор Ostrel 1.0"},
};

// Closing order of the secondary windows at shutdown; windows with other
// names close after these, in the order they were registered.
const char* const kCloseOrder[] = {
    "PropertyBLOCK", "Config_Project", "Coord_Setka", "Figura", "Go_Block_SCADA",
    "Grafik_SCADA", "Image_Control", "Level_SCADA", "Parametr_Text_SCADA", "Signal_SCADA",
    "Text_Label", "Text_Signal_SCADA", "Type_Control", "Vent", "Write_SCHEMA", "ALGORITM",
};

// Title prefix after a project was opened or a netlist re-imported.
QString versionTitlePrefix(int code)
{
    if (code == 5)
        return QStringLiteral("Конфигуратор Ostrel 4.51 - ");
    if (code == 0)
        return QStringLiteral("Конфигуратор Ostrel 2.0 - ");
    return QStringLiteral("Конфигуратор Ostrel 4.2 - ");
}

// The idle screen: a controller with its touch display, and the program's name.
class LogoWidget : public QWidget {
public:
    explicit LogoWidget(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("Logo")); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = rect();
        QLinearGradient bg(r.topLeft(), r.bottomLeft());
        bg.setColorAt(0, QColor(232, 238, 244));
        bg.setColorAt(1, QColor(196, 208, 222));
        p.fillRect(r, bg);

        // The controller: a dark housing with an 800 x 480 display at 1:4.
        const QPointF c = r.center();
        const QRectF housing(c.x() - 130, c.y() - 150, 260, 180);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 40));
        p.drawRoundedRect(housing.translated(5, 6), 14, 14);
        QLinearGradient body(housing.topLeft(), housing.bottomLeft());
        body.setColorAt(0, QColor(70, 78, 90));
        body.setColorAt(1, QColor(38, 43, 52));
        p.setBrush(body);
        p.drawRoundedRect(housing, 14, 14);

        const QRectF screen(housing.left() + 30, housing.top() + 20, 200, 120);
        QLinearGradient glass(screen.topLeft(), screen.bottomRight());
        glass.setColorAt(0, QColor(20, 90, 140));
        glass.setColorAt(1, QColor(10, 40, 80));
        p.setBrush(glass);
        p.drawRect(screen);

        // A trend line and three bars on the display.
        QPainterPath trend;
        trend.moveTo(screen.left() + 10, screen.bottom() - 30);
        const double ys[] = {-45, -38, -60, -52, -75, -66, -88, -80};
        for (int i = 0; i < 8; ++i)
            trend.lineTo(screen.left() + 30 + i * 14, screen.bottom() + ys[i]);
        p.setPen(QPen(QColor(120, 230, 160), 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(trend);
        p.setPen(Qt::NoPen);
        const QColor bars[] = {QColor(250, 200, 60), QColor(110, 200, 250), QColor(240, 110, 90)};
        const double heights[] = {70, 50, 85};
        for (int i = 0; i < 3; ++i) {
            p.setBrush(bars[i]);
            p.drawRect(QRectF(screen.right() - 70 + i * 20, screen.bottom() - 10 - heights[i], 12, heights[i]));
        }
        // Status lamps under the display.
        const QColor lamps[] = {QColor(90, 220, 110), QColor(250, 190, 60), QColor(120, 130, 140)};
        for (int i = 0; i < 3; ++i) {
            p.setBrush(lamps[i]);
            p.drawEllipse(QPointF(housing.left() + 40 + i * 18, housing.bottom() - 20), 4.5, 4.5);
        }

        QFont title(QStringLiteral("Sans Serif"));
        title.setPixelSize(44);
        title.setBold(true);
        p.setFont(title);
        p.setPen(QColor(30, 60, 100));
        p.drawText(QRectF(r.left(), housing.bottom() + 28, r.width(), 56), Qt::AlignCenter,
                   QStringLiteral("Ostrel"));
        QFont sub(QStringLiteral("Sans Serif"));
        sub.setPixelSize(17);
        p.setFont(sub);
        p.setPen(QColor(70, 90, 115));
        p.drawText(QRectF(r.left(), housing.bottom() + 84, r.width(), 26), Qt::AlignCenter,
                   QStringLiteral("Конфигуратор программируемых контроллеров"));
    }
};

} // namespace

MainWindow::MainWindow(Workspace& ws, Interaction& ui, QWidget* parent)
    : QMainWindow(parent), ws_(ws), ui_(ui)
{
    setObjectName(QStringLiteral("Config_SCADA"));

    settings_ = std::make_unique<SettingsDialog>(ws_, shell_, ui_);
    registerSecondaryWindow(settings_.get());
    connect(settings_.get(), &SettingsDialog::confirmed, this, &MainWindow::settingsConfirmed);
    connect(settings_.get(), &QDialog::finished, this, [this] {
        setEnabled(true);
        if (!projectExists_)
            showLogo(true);
    });
    connect(settings_.get(), &SettingsDialog::netlistImported, this, [this] {
        if (projectExists_)
            redrawScheme();
    });

    buildMenus();
    buildClientArea();

    // Start-up: version 4.5 with its title and marks, then the idle state.
    selectVersion(kDefaultVersion);
    action(QStringLiteral("mnu5"))->setVisible(false);
    action(QStringLiteral("mnuNetlist"))->setVisible(false);
    resize(810, 550);
    ws_.settings.link_port = LinkSettings::kFirstComPort;
    ws_.settings.controller_number = 1;
    ws_.blocks.cur_block_type = 1;
    menu(QStringLiteral("mnuConfig"))->menuAction()->setVisible(false);
    menu(QStringLiteral("MnuSCADA1"))->menuAction()->setVisible(false);
    scadaActions_.preview->setEnabled(false); // F5 acts in SCADA mode only
    menu(QStringLiteral("MnuOstrel"))->menuAction()->setVisible(false);
    editMenu_->menuAction()->setVisible(false);
    action(QStringLiteral("MnuSaveOstrelSCADA"))->setVisible(false);
    action(QStringLiteral("MnuAllSaveOstrelSCADA"))->setVisible(false);
    shell_.current_page = 0;
    ws_.settings.netlist_path = kNoNetlist;
    showLogo(true);
}

MainWindow::~MainWindow()
{
    for (const QPointer<QWidget>& w : modalChildren_)
        if (w)
            w->removeEventFilter(this);
}

QAction* MainWindow::addItem(QMenu* menu, const QString& caption, const char* name)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

QAction* MainWindow::addSeparator(QMenu* menu, const char* name)
{
    QAction* a = menu->addSeparator();
    a->setObjectName(QLatin1String(name));
    return a;
}

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    auto newMenu = [&](const QString& caption, const char* name) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        return m;
    };

    QMenu* file = newMenu(QStringLiteral("&Файл"), "mnuFile");
    QAction* create = addItem(file, QStringLiteral("&Создать проект"), "mnuNEW");
    create->setShortcut(QKeySequence::New);
    connect(create, &QAction::triggered, this, &MainWindow::newProject);
    QAction* open = addItem(file, QStringLiteral("&Открыть проект"), "mnuLoad");
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &MainWindow::openProject);
    QAction* save = addItem(file, QStringLiteral("&Сохранить проект"), "MnuSave");
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, &MainWindow::saveProject);
    addSeparator(file, "mnu5");
    connect(addItem(file, QStringLiteral("&Открыть Netlist P-CAD"), "mnuNetlist"), &QAction::triggered, this,
            &MainWindow::openNetlist);
    addSeparator(file, "mnu1");
    connect(addItem(file, QStringLiteral("&Выход"), "mnuExit"), &QAction::triggered, this, &QWidget::close);

    QMenu* config = newMenu(QStringLiteral("&Конфигуратор"), "mnuConfig");
    connect(addItem(config, QStringLiteral("&Схема"), "mnuSchema"), &QAction::triggered, this,
            &MainWindow::showSchemeMode);
    connect(addItem(config, QStringLiteral("&SCADA"), "MnuSCADA"), &QAction::triggered, this,
            &MainWindow::showScadaMode);
    addSeparator(config, "mnu3");
    connect(addItem(config, QStringLiteral("&Настройки"), "mnuNastrojki"), &QAction::triggered, this,
            &MainWindow::openSettings);

    // Page background, grid and element insertion: the page editor connects these.
    QMenu* scada = newMenu(QStringLiteral("&SCADA"), "MnuSCADA1");
    ScadaActions& a = scadaActions_;
    a.background = addItem(scada, QStringLiteral("&Установить фон SCADA"), "MnuInsertFonSCADA");
    a.fillColor = addItem(scada, QStringLiteral("&Цвет заливки фона"), "MnuColorFonSCADA");
    addSeparator(scada, "mnu6");
    a.lock = addItem(scada, QStringLiteral("&Блокировка элементов"), "mnuBlockSCADA");
    a.lock->setCheckable(true);
    a.lock->setChecked(true);
    a.grid = addItem(scada, QStringLiteral("&Координатная сетка"), "MnuCoordNetSCADA");
    a.showGrid = addItem(scada, QStringLiteral("Показать сетку"), "MnuShowGridSCADA");
    a.showGrid->setCheckable(true);
    addSeparator(scada, "nu5");
    a.line = addItem(scada, QStringLiteral("&Линия"), "MnuLine");
    a.figura = addItem(scada, insertText(ObjectKind::Figura), "MnuFigura");
    addSeparator(scada, "mnu4");
    a.menu = addItem(scada, insertText(ObjectKind::Menu), "MnuMenuSCADA");
    a.text = addItem(scada, insertText(ObjectKind::Text), "mnuText");
    a.goBlock = addItem(scada, insertText(ObjectKind::GoBlock), "MnuGotoBlockSCADA");
    a.parametr = addItem(scada, insertText(ObjectKind::Parametr), "MnuParametrSCADA");
    a.level = addItem(scada, insertText(ObjectKind::Level), "MnuLevelSCADA");
    addItem(scada, QStringLiteral("&Манометр"), "mnuManometr")->setVisible(false);
    a.signal = addItem(scada, insertText(ObjectKind::Signal), "MnuSignalSCADA");
    a.textSignal = addItem(scada, insertText(ObjectKind::TextSignal), "MnuTextSignal");
    a.vent = addItem(scada, insertText(ObjectKind::Vent), "mnuVent");
    a.control = addItem(scada, insertText(ObjectKind::Control), "MnuControl");
    a.grafik = addItem(scada, insertText(ObjectKind::Grafik), "MnuGrafikSCADA");
    a.clock = addItem(scada, insertText(ObjectKind::Clock), "MnuClockSCADA");
    addSeparator(scada, "mnuPreviewSeparator");
    a.preview = addItem(scada, QStringLiteral("&Просмотр на панели"), "MnuPanelPreview");
    a.preview->setShortcut(Qt::Key_F5);

    QMenu* ostrel = newMenu(QStringLiteral("&Контроллер Ostrel"), "MnuOstrel");
    connect(addItem(ostrel, QStringLiteral("&Записать схему в Ostrel"), "MnuSaveOstrel"), &QAction::triggered,
            this, &MainWindow::writeSchemeRequested);
    connect(addItem(ostrel, QStringLiteral("&Записать страницу SCADA в Ostrel"), "MnuSaveOstrelSCADA"),
            &QAction::triggered, this, &MainWindow::writePageRequested);
    connect(addItem(ostrel, QStringLiteral("&Записать все страницы SCADA в Ostrel"), "MnuAllSaveOstrelSCADA"),
            &QAction::triggered, this, &MainWindow::writeAllPagesRequested);
    connect(addItem(ostrel, QStringLiteral("&Записать установку…"), "MnuWritePlant"), &QAction::triggered, this,
            &MainWindow::writePlantRequested);
    connect(addItem(ostrel, QStringLiteral("&Что изменится"), "MnuWhatChanges"), &QAction::triggered, this,
            &MainWindow::whatChangesRequested);
    addSeparator(ostrel, "MnuCheckSeparator");
    connect(addItem(ostrel, QStringLiteral("&Проверить проект"), "MnuCheckProject"), &QAction::triggered, this,
            &MainWindow::checkProjectRequested);

    QMenu* help = newMenu(QStringLiteral("&Справка"), "mnuHelp");
    for (int i = 0; i < 4; ++i) {
        QAction* a = addItem(help, QString::fromUtf8(kVersions[i].caption), kVersions[i].name);
        a->setCheckable(true);
        const int code = kVersions[i].code;
        connect(a, &QAction::triggered, this, [this, code] {
            selectVersion(code);
            emit versionChosen();
        });
        versionItems_[i] = a;
    }

    // The last menu of the bar; the page editor opens it as its context menu too.
    editMenu_ = newMenu(QStringLiteral("&Редактировать"), "mnuEdit");
    editActions_.copy = addItem(editMenu_, QStringLiteral("&Копировать"), "mnuCopy");
    editActions_.paste = addItem(editMenu_, QStringLiteral("&Вставить"), "mnuPaste");
    editActions_.remove = addItem(editMenu_, QStringLiteral("&Удалить"), "mnuDelete");
    editActions_.copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    editActions_.paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    editActions_.remove->setShortcut(QKeySequence(Qt::Key_Delete));
    editActions_.cut = addItem(editMenu_, QStringLiteral("&Вырезать"), "mnuCut");
    editActions_.cut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    editActions_.selectAll = addItem(editMenu_, QStringLiteral("Выделить &всё"), "mnuSelectAll");
    editActions_.selectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    editActions_.deselect = addItem(editMenu_, QStringLiteral("Снять выделение"), "mnuDeselect");
    editActions_.deselect->setShortcut(QKeySequence(Qt::Key_Escape));
    addSeparator(editMenu_, "mnuArrangeSep");
    editActions_.align = editMenu_->addMenu(QStringLiteral("Выровнять"));
    editActions_.align->setObjectName(QStringLiteral("mnuAlign"));
    const char* alignNames[] = {"mnuAlignLeft", "mnuAlignRight", "mnuAlignTop", "mnuAlignBottom",
                                "mnuAlignHCentres", "mnuAlignVCentres"};
    const QString alignTexts[] = {QStringLiteral("По левым краям"), QStringLiteral("По правым краям"),
                                  QStringLiteral("По верхним краям"), QStringLiteral("По нижним краям"),
                                  QStringLiteral("По центрам по горизонтали"),
                                  QStringLiteral("По центрам по вертикали")};
    for (size_t i = 0; i < editActions_.alignItems.size(); ++i)
        editActions_.alignItems[i] = addItem(editActions_.align, alignTexts[i], alignNames[i]);
    editActions_.distribute = editMenu_->addMenu(QStringLiteral("Распределить"));
    editActions_.distribute->setObjectName(QStringLiteral("mnuDistribute"));
    editActions_.distributeItems[0] = addItem(editActions_.distribute, QStringLiteral("По горизонтали"), "mnuDistributeH");
    editActions_.distributeItems[1] = addItem(editActions_.distribute, QStringLiteral("По вертикали"), "mnuDistributeV");
    addSeparator(editMenu_, "mnuEditSep");
    editActions_.undo = addItem(editMenu_, QString(), "mnuUndo");
    editActions_.undo->setShortcut(QKeySequence::Undo);
    editActions_.redo = addItem(editMenu_, QString(), "mnuRedo");
    editActions_.redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(editActions_.undo, &QAction::triggered, this, &MainWindow::undoRequested);
    connect(editActions_.redo, &QAction::triggered, this, &MainWindow::redoRequested);
    setUndoRedoTexts(QString(), QString());
    editMenu_->setDefaultAction(editActions_.copy);
    setPageEditItemsEnabled(false);
}

void MainWindow::buildClientArea()
{
    auto* stack = new QStackedWidget(this);
    stack->setObjectName(QStringLiteral("ClientArea"));
    logo_ = new LogoWidget(stack);
    overview_ = new SchemeOverview(ws_.blocks, ws_.catalog, stack);
    auto* tabHost = new QWidget(stack);
    tabHost->setObjectName(QStringLiteral("PageHost"));
    stack->addWidget(logo_);
    stack->addWidget(overview_);
    stack->addWidget(tabHost);
    setCentralWidget(stack);
    connect(overview_, &SchemeOverview::blockClicked, this, &MainWindow::openBlock);

    tabs_ = new QTabWidget(tabHost);
    tabs_->setObjectName(QStringLiteral("PageTabs"));
    for (int p = 0; p < kPages; ++p) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("PageTab_%1").arg(p));
        auto* canvas = new QWidget(page);
        canvas->setObjectName(QStringLiteral("Page_SCADA_%1").arg(p));
        canvas->setAutoFillBackground(true);
        QPalette pal = canvas->palette();
        pal.setColor(QPalette::Window, Qt::white);
        canvas->setPalette(pal);
        canvas->setGeometry(0, 0, 800, 480);
        canvases_[p] = canvas;
        tabs_->addTab(page, QStringLiteral("Страница %1").arg(p + 1));
    }
    // 803 x 500 with room for the tab strip, so that every canvas shows whole.
    const int strip = tabs_->tabBar()->sizeHint().height();
    tabs_->setGeometry(1, 1, 803, std::max(500, strip + 480 + 4));
    tabHost->setMinimumSize(tabs_->geometry().bottomRight().x() + 2, tabs_->geometry().bottom() + 2);
    connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::tabChanged);
}

QAction* MainWindow::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

QMenu* MainWindow::menu(const QString& name) const
{
    return findChild<QMenu*>(name);
}

QWidget* MainWindow::pageCanvas(int page) const
{
    return page >= 0 && page < kPages ? canvases_[page] : nullptr;
}

void MainWindow::setPageCanvas(int page, QWidget* canvas)
{
    if (page < 0 || page >= kPages || !canvas || canvas == canvases_[page])
        return;
    QWidget* holder = tabs_->widget(page);
    canvas->setParent(holder);
    canvas->move(0, 0);
    canvas->show();
    delete canvases_[page];
    canvases_[page] = canvas;
}

void MainWindow::setPageTabCaption(int page, const QString& caption)
{
    if (page >= 0 && page < kPages)
        tabs_->setTabText(page, caption);
}

void MainWindow::showLogo(bool visible)
{
    auto* stack = static_cast<QStackedWidget*>(centralWidget());
    if (visible)
        stack->setCurrentWidget(logo_);
    else if (stack->currentWidget() == logo_)
        stack->setCurrentWidget(overview_);
}

void MainWindow::selectVersion(int code)
{
    applyProjectVersion(code);
    for (const VersionItem& v : kVersions)
        if (v.code == code)
            setTitle(QString::fromUtf8(v.title));
    scadaActions_.vent->setVisible(code != 1);
}

void MainWindow::showVersion(int code)
{
    applyProjectVersion(code);
    scadaActions_.vent->setVisible(code != 1);
}

void MainWindow::setTitle(const QString& title)
{
    title_ = title;
    setWindowTitle(unsaved_ ? title_ + QStringLiteral(" *") : title_);
}

void MainWindow::setUnsavedMark(bool unsaved)
{
    if (unsaved == unsaved_)
        return;
    unsaved_ = unsaved;
    setTitle(title_);
}

// Copy, paste and delete act on the page shown: greyed in scheme mode, where
// no page is.
void MainWindow::setPageEditItemsEnabled(bool enabled)
{
    for (QAction* a : {editActions_.copy, editActions_.paste, editActions_.remove, editActions_.cut,
                       editActions_.selectAll, editActions_.deselect, editActions_.align->menuAction(),
                       editActions_.distribute->menuAction()})
        a->setEnabled(enabled);
}

void MainWindow::setUndoRedoTexts(const QString& undoName, const QString& redoName)
{
    editActions_.undo->setText(undoName.isEmpty() ? QStringLiteral("&Отменить")
                                                  : QStringLiteral("&Отменить ") + undoName);
    editActions_.undo->setEnabled(!undoName.isEmpty());
    editActions_.redo->setText(redoName.isEmpty() ? QStringLiteral("&Повторить")
                                                  : QStringLiteral("&Повторить ") + redoName);
    editActions_.redo->setEnabled(!redoName.isEmpty());
}

void MainWindow::applyProjectVersion(int code)
{
    int chosen = -1;
    for (int i = 0; i < 4; ++i)
        if (kVersions[i].code == code)
            chosen = i;
    if (chosen < 0)
        return; // not a version of the menu: the current one stays in force
    ws_.selectVersion(uint8_t(code));
    for (int i = 0; i < 4; ++i)
        versionItems_[i]->setChecked(i == chosen);
}

void MainWindow::showProjectMenus()
{
    menu(QStringLiteral("mnuConfig"))->menuAction()->setVisible(true);
    menu(QStringLiteral("MnuOstrel"))->menuAction()->setVisible(true);
    editMenu_->menuAction()->setVisible(true);
    projectExists_ = true;
}

void MainWindow::showSchemeMode()
{
    emit schemeModeEntered();
    menu(QStringLiteral("MnuSCADA1"))->menuAction()->setVisible(false);
    scadaActions_.preview->setEnabled(false);
    action(QStringLiteral("MnuSaveOstrel"))->setVisible(true);
    action(QStringLiteral("MnuSaveOstrelSCADA"))->setVisible(false);
    action(QStringLiteral("MnuAllSaveOstrelSCADA"))->setVisible(false);
    scadaMode_ = false;
    setPageEditItemsEnabled(false);
    redrawScheme();
}

void MainWindow::showScadaMode()
{
    emit scadaModeEntered();
    selectPage(0);
    menu(QStringLiteral("MnuSCADA1"))->menuAction()->setVisible(true);
    scadaActions_.preview->setEnabled(true);
    action(QStringLiteral("MnuSaveOstrelSCADA"))->setVisible(true);
    action(QStringLiteral("MnuAllSaveOstrelSCADA"))->setVisible(true);
    action(QStringLiteral("MnuSaveOstrel"))->setVisible(false);
    for (QWidget* canvas : canvases_)
        canvas->setGeometry(0, 0, 800, 480);
    scadaMode_ = true;
    setPageEditItemsEnabled(true);
    auto* stack = static_cast<QStackedWidget*>(centralWidget());
    stack->setCurrentWidget(tabs_->parentWidget());
}

void MainWindow::selectPage(int page)
{
    if (page < 0 || page >= kPages)
        return;
    if (tabs_->currentIndex() != page)
        tabs_->setCurrentIndex(page); // tabChanged sets current_page
    else
        tabChanged(page);
}

void MainWindow::tabChanged(int index)
{
    if (index < 0 || index >= kPages)
        return;
    shell_.current_page = int16_t(index);
    emit currentPageChanged(index);
}

void MainWindow::newProject()
{
    if (discardCheck_ && !discardCheck_())
        return;
    showLogo(false);
    setEnabled(false);
    settings_->openForNewProject();
}

void MainWindow::openSettings()
{
    setEnabled(false);
    settings_->openForSettings();
}

void MainWindow::settingsConfirmed(bool newProject)
{
    overview_->clear();
    setEnabled(true);
    showProjectMenus();
    setTitle(QStringLiteral("Конфигуратор Ostrel - ") + ws_.settings.netlist_path);
    // The settings of the open project leave SCADA mode as it was; a new
    // project starts in scheme mode.
    if (newProject)
        emit projectStarted();
    else
        emit settingsChanged();
    if (scadaMode_ && !newProject)
        drawOverview();
    else
        showSchemeMode();
}

void MainWindow::openNetlist()
{
    const QString path = ui_.openFile(kNetlistFilter, QDir::currentPath());
    if (path.isEmpty())
        return;
    if (!importProjectNetlist(ws_, path, ui_)) {
        ui_.message(netlistOpenError(path), QString(), MessageIcon::Error);
        return;
    }
    setEnabled(true);
    showProjectMenus();
    setTitle(versionTitlePrefix(ws_.version_code) + ws_.settings.netlist_path);
    redrawScheme();
    emit netlistReimported();
}

void MainWindow::openProject()
{
    if (discardCheck_ && !discardCheck_())
        return;
    showLogo(false);
    const QString path = ui_.openFile(kProjectFilter, QDir::currentPath());
    if (path.isEmpty()) {
        if (!projectExists_)
            showLogo(true);
        return;
    }
    shell_.settings_reopened = 0;
    emit openProjectPathRequested(path);
}

void MainWindow::openProjectFromCommandLine(const QString& path)
{
    if (discardCheck_ && !discardCheck_())
        return;
    showLogo(false);
    shell_.settings_reopened = 0;
    emit openProjectPathRequested(path);
}

QString MainWindow::askSavePath()
{
    return ui_.saveFile(kProjectFilter, projectPath_.isEmpty() ? ws_.settings.project_name : projectPath_);
}

void MainWindow::saveProject()
{
    const QString path = askSavePath();
    if (path.isEmpty())
        return;
    emit saveProjectPathRequested(path);
}

void MainWindow::showNetlistMenuItem()
{
    action(QStringLiteral("mnu5"))->setVisible(true);
    action(QStringLiteral("mnuNetlist"))->setVisible(true);
}

void MainWindow::showProjectTitle()
{
    setTitle(versionTitlePrefix(ws_.version_code) + ws_.settings.netlist_path);
}

void MainWindow::showProjectOpened()
{
    showNetlistMenuItem();
    setEnabled(true);
    showProjectMenus();
    showProjectTitle();
    redrawScheme();
}

// Blocks 97..99 carry their fixed types whenever the scheme is shown, even
// when the project file left them out.
void MainWindow::drawOverview()
{
    ws_.blocks.setFixedBlockTypes();
    overview_->redraw();
}

void MainWindow::redrawScheme()
{
    drawOverview();
    if (!scadaMode_)
        static_cast<QStackedWidget*>(centralWidget())->setCurrentWidget(overview_);
}

void MainWindow::openBlock(int k, Qt::MouseButton button)
{
    if (k < 1 || k > SchemeOverview::kPictures)
        return;
    BlockTable& b = ws_.blocks;
    if (button == Qt::RightButton) {
        // A right-button press on an algorithm block imports a drawn algorithm.
        const int n = SchemeOverview::blockOfPicture(k);
        if (k >= SchemeOverview::kFirstBlockPicture && b.block_type[n] == kAlgorithm) {
            b.cur_block = uint8_t(n);
            b.cur_block_type = kAlgorithm;
            emit algorithmDrawingImportRequested(n);
        }
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (k == 1) {
        showScadaMode();
        return;
    }
    int block = 0;
    if (k == 2)
        block = BlockTable::kGraphBlock;
    else if (k == 3)
        block = BlockTable::kJournalBlock;
    else if (k >= SchemeOverview::kFirstBlockPicture)
        block = SchemeOverview::blockOfPicture(k);
    else
        return; // pictures 4..8 are never shown
    const int type = b.block_type[block];
    if (type <= 0 || type > 255)
        return; // an empty cell has no picture to click
    b.cur_block_type = uint8_t(type);
    b.cur_block = uint8_t(block);
    if (type == kAlgorithm)
        emit openAlgorithmEditorRequested(block);
    else
        emit openParameterEditorRequested(block);
}

void MainWindow::registerSecondaryWindow(QWidget* window)
{
    if (!window)
        return;
    for (const QPointer<QWidget>& w : secondary_)
        if (w == window)
            return;
    secondary_.append(window);
}

void MainWindow::showChildWindow(QWidget* window)
{
    if (!window)
        return;
    registerSecondaryWindow(window);
    bool known = false;
    for (const QPointer<QWidget>& w : modalChildren_)
        known = known || w == window;
    if (!known) {
        modalChildren_.append(window);
        window->installEventFilter(this);
        connect(window, &QObject::destroyed, this, [this] {
            bool open = settings_ && settings_->isVisible();
            for (const QPointer<QWidget>& w : modalChildren_)
                open = open || (w && w->isVisible());
            if (!open)
                setEnabled(true);
        });
    }
    setEnabled(false);
    window->show();
    window->raise();
    window->activateWindow();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && !event->spontaneous()) {
        bool open = settings_->isVisible();
        for (const QPointer<QWidget>& w : modalChildren_)
            open = open || (w && w != watched && w->isVisible());
        if (!open)
            setEnabled(true);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeSecondaryWindows()
{
    QList<QPointer<QWidget>> order;
    for (const char* name : kCloseOrder)
        for (const QPointer<QWidget>& w : secondary_)
            if (w && w->objectName() == QLatin1String(name))
                order.append(w);
    for (const QPointer<QWidget>& w : secondary_)
        if (w && !order.contains(w))
            order.append(w);
    for (const QPointer<QWidget>& w : order) {
        if (!w)
            continue;
        w->close();
        if (w && w->isVisible())
            w->hide(); // the program ends even if a window would rather stay
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (discardCheck_ && !discardCheck_()) {
        event->ignore();
        return;
    }
    closeSecondaryWindows();
    event->accept();
}

} // namespace ostrel
