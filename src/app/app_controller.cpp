#include "app/app_controller.h"
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include "algorithm/drawing_import.h"
#include "display/panel_preview.h"
#include "display/ui/panel_preview_window.h"
#include "algorithm/ui/step_editor.h"
#include "app/changes_window.h"
#include "app/check_window.h"
#include "app/plant_window.h"
#include "project/plant_file.h"
#include "project/plant_write.h"
#include "app/loading_window.h"
#include "app/main_window.h"
#include "app/scada_editor.h"
#include "app/settings_dialog.h"
#include "wire/scheme_encoder.h"
#include "link/page_write.h"
#include "link/ui/scheme_write_controller.h"
#include "platform/interaction.h"
#include "project/project_check.h"
#include "project/project_journal.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "project/recovery_copy.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "scheme/block_catalog.h"
#include "scheme/ui/block_parameter_editor.h"
#include "workspace/project_history.h"
#include "workspace/workspace.h"
#include <QDateTime>
#include <QFile>

namespace ostrel {

AppController::AppController(Workspace& ws, Interaction& ui, MainWindow& window, RecoveryOptions recovery)
    : ws_(ws), ui_(ui), window_(window)
{
    // Secondary windows have no Qt parent: disabling the main window while
    // one is open must not disable the open window with it.
    paramEditor_ = std::make_unique<BlockParameterEditor>(ws.blocks, ws.catalog, ui);
    stepEditor_ = std::make_unique<StepEditor>(ws.blocks, ws.alg, ui);
    loading_ = std::make_unique<LoadingWindow>();
    writer_ = std::make_unique<SchemeWriteController>(ws.transfer, ws.settings, ui, &window);
    window.registerSecondaryWindow(paramEditor_.get());
    window.registerSecondaryWindow(stepEditor_.get());
    window.registerSecondaryWindow(loading_.get());
    pictures_ = std::make_unique<ElementPictures>();
    painter_ = std::make_unique<PagePainter>(*pictures_);
    scada_ = std::make_unique<ScadaEditor>(ws, ui, window, *pictures_, *painter_);

    connect(&window, &MainWindow::openParameterEditorRequested, this, &AppController::openParameterEditor);
    connect(&window, &MainWindow::openAlgorithmEditorRequested, this, &AppController::openAlgorithmEditor);
    connect(&window, &MainWindow::algorithmDrawingImportRequested, this,
            &AppController::importAlgorithmDrawing);
    connect(loading_.get(), &LoadingWindow::finished, this, [this] {
        if (pendingAlgBlock_ <= 0)
            return;
        if (pendingStep_ >= 0)
            stepEditor_->startAt(pendingStep_);
        pendingStep_ = -1;
        window_.showChildWindow(stepEditor_.get());
        stepEditor_->openFor(pendingAlgBlock_);
    });
    // After an insert or delete the editor goes through the loading window again.
    connect(stepEditor_.get(), &StepEditor::reloadRequested, this, &AppController::openAlgorithmEditor);
    connect(stepEditor_.get(), &StepEditor::minimized, &window, &QWidget::showMinimized);

    connect(&window, &MainWindow::writeSchemeRequested, this, &AppController::writeScheme);
    // Page writes: each page is painted offscreen and encoded just before its
    // packets go out; the selected tab follows the page being written. The
    // canvases and the writer share one painter: what the page shows is
    // what the controller gets.
    writer_->setPagePreparer(makePagePreparer(*painter_, ws.pages, ws.version_code,
                                              [this] { return projectFolder(); }, ws.transfer, ui));
    connect(&window, &MainWindow::writePageRequested, this, [this] {
        const int page = window_.shell().current_page;
        checkedWrite(CheckScope::pagesOnly(uint8_t(1u << page)), [this, page] { writer_->startPageWrite(page); });
    });
    connect(&window, &MainWindow::writeAllPagesRequested, this, &AppController::writeAllPages);
    // Every part that went out completely is journalled beside the project.
    connect(&writer_->engine(), &TransferEngine::partWritten, this, &AppController::journalPart);

    checkWindow_ = std::make_unique<CheckWindow>();
    plantWindow_ = std::make_unique<PlantWindow>();
    window.registerSecondaryWindow(plantWindow_.get());
    connect(&window, &MainWindow::writePlantRequested, this, &AppController::writePlant);
    changesWindow_ = std::make_unique<ChangesWindow>();
    window.registerSecondaryWindow(checkWindow_.get());
    window.registerSecondaryWindow(changesWindow_.get());
    connect(&window, &MainWindow::checkProjectRequested, this, &AppController::checkProject);
    connect(&window, &MainWindow::whatChangesRequested, this, &AppController::showWhatChanges);
    connect(checkWindow_.get(), &CheckWindow::placeRequested, this, &AppController::showPlace);
    connect(checkWindow_.get(), &CheckWindow::writeAnyway, this, [this] {
        const std::function<void()> write = std::move(pendingWrite_);
        pendingWrite_ = {};
        if (write)
            write();
    });
    connect(writer_.get(), &SchemeWriteController::transferActiveChanged, &window.settingsDialog(),
            &SettingsDialog::setTransferActive);
    connect(writer_.get(), &SchemeWriteController::currentPageChanged, &window, &MainWindow::selectPage);
    connect(writer_.get(), &SchemeWriteController::pageTabReselected, &window, &MainWindow::selectPage);

    connect(&window, &MainWindow::openProjectPathRequested, this, &AppController::openProjectFile);
    connect(&window, &MainWindow::saveProjectPathRequested, this, &AppController::saveProjectFile);

    // "Просмотр панели" beside the main window (it disables nothing): the
    // current page through the write's encoder and the panel's decoder, on
    // its own transfer buffer so that a running write is not disturbed.
    preview_ = std::make_unique<PanelPreview>(PanelPreviewSource{
        ws.pages, *painter_, [this] { return window_.shell().current_page; },
        [this] { return int(ws_.version_code); }, [this] { return int(ws_.settings.controller_number); },
        [this] { return projectFolder(); }, [this] { return valuesFile(); }});
    previewWindow_ = std::make_unique<PanelPreviewWindow>(*preview_, ui);
    window.registerSecondaryWindow(previewWindow_.get());
    connect(scada_.get(), &ScadaEditor::pagesChanged, preview_.get(), &PanelPreview::schedule);
    connect(window.scadaActions().preview, &QAction::triggered, this, &AppController::openPanelPreview);
    // The controller version decides the table layout the panel receives.
    for (const char* name : {"mnuHelp1", "mnuHelp2", "mnuHelp3", "mnuHelp4"})
        if (QAction* version = window.action(QString::fromLatin1(name)))
            connect(version, &QAction::triggered, preview_.get(), &PanelPreview::schedule);
    // The history starts from the project as the main window left it.
    history_ = std::make_unique<ProjectHistory>(ws);
    history_->setOnApplied([this](const HistoryEffect& e) {
        restored(e.pages, e.scheme || e.algorithm, e.settings, e.version);
    });
    connect(history_.get(), &ProjectHistory::changed, this, &AppController::historyChanged);
    window.setDiscardCheck([this] { return confirmDiscard(); });
    connect(&window, &MainWindow::undoRequested, this, &AppController::undo);
    connect(&window, &MainWindow::redoRequested, this, &AppController::redo);
    // The ends of user actions that change the project.
    connect(scada_.get(), &ScadaEditor::edited, this, &AppController::commit);
    connect(paramEditor_.get(), &BlockParameterEditor::closed, this,
            [this] { commit(QStringLiteral("параметры: блок %1").arg(ws_.blocks.cur_block)); });
    connect(paramEditor_.get(), &BlockParameterEditor::modbusClosed, this,
            [this] { commit(QStringLiteral("каналы MODBUS: блок %1").arg(ws_.blocks.cur_block)); });
    connect(stepEditor_.get(), &StepEditor::edited, this,
            [this] { commit(QStringLiteral("шаг алгоритма: блок %1").arg(ws_.blocks.cur_block)); });
    connect(stepEditor_.get(), &StepEditor::closed, this,
            [this] { commit(QStringLiteral("комментарии шагов: блок %1").arg(ws_.blocks.cur_block)); });
    connect(&window, &MainWindow::settingsChanged, this, [this] { commit(QStringLiteral("настройки проекта")); });
    // "Отмена" keeps the lists chosen before it: they are a step as well.
    connect(&window.settingsDialog(), &QDialog::finished, this, [this] { commit(QStringLiteral("настройки проекта")); });
    connect(&window, &MainWindow::versionChosen, this, [this] { commit(QStringLiteral("выбор версии")); });
    connect(&window, &MainWindow::netlistReimported, this, [this] { commit(QStringLiteral("импорт Netlist")); });
    connect(&window, &MainWindow::projectStarted, this, [this] {
        window_.setProjectPath(QString());
        projectReplaced();
        previewProjectChanged();
    });

    if (!recovery.dir.isEmpty()) {
        recovery_ = std::make_unique<RecoveryStore>(recovery.dir);
        recoveryTimer_.setSingleShot(true);
        recoveryTimer_.setInterval(recovery.intervalMs);
        connect(&recoveryTimer_, &QTimer::timeout, this, &AppController::writeRecoveryCopy);
    }
    historyChanged();
}

AppController::~AppController()
{
    // Windows may still announce their closing while the members go.
    disconnect(paramEditor_.get(), nullptr, this, nullptr);
    disconnect(stepEditor_.get(), nullptr, this, nullptr);
    disconnect(scada_.get(), nullptr, this, nullptr);
    window_.setDiscardCheck({});
}

void AppController::commit(const QString& name)
{
    // Before a project exists nothing is kept (the version chosen at start).
    if (!window_.projectExists()) {
        history_->reset();
        return;
    }
    history_->commit(name);
}

void AppController::undo()
{
    commit(QStringLiteral("изменение"));
    if (history_->canUndo())
        history_->undo();
}

void AppController::redo()
{
    if (history_->hasUncommittedChanges())
        commit(QStringLiteral("изменение")); // a new step: nothing is left to redo
    if (history_->canRedo())
        history_->redo();
}

void AppController::historyChanged()
{
    const bool unsaved = window_.projectExists() && !history_->isClean();
    window_.setUnsavedMark(unsaved);
    window_.setUndoRedoTexts(history_->canUndo() ? history_->undoText() : QString(),
                             history_->canRedo() ? history_->redoText() : QString());
    if (!recovery_)
        return;
    if (unsaved && !recoveryTimer_.isActive()) {
        recoveryTimer_.start();
    } else if (!unsaved) {
        // Saved, or undone back to the saved state: no copy is needed.
        recoveryTimer_.stop();
        recovery_->remove();
    }
}

void AppController::restored(unsigned pages, bool scheme, bool settings, bool version)
{
    if (version)
        window_.showVersion(ws_.version_code);
    if (pages != 0)
        scada_->pagesRestored(pages);
    if (!window_.projectExists())
        return;
    // The title names the version and the netlist the project has now.
    if (settings || version)
        window_.showProjectTitle();
    if (scheme || settings || version)
        window_.redrawScheme();
}

void AppController::projectReplaced()
{
    history_->reset();
    if (recovery_)
        recovery_->remove();
    recoveryFailureShown_ = false;
}

bool AppController::confirmDiscard()
{
    commit(QStringLiteral("изменение"));
    if (!window_.projectExists() || history_->isClean())
        return true;
    switch (ui_.askYesNoCancel(kSaveChangesQuestion, kSaveChangesTitle)) {
    case Answer::Yes:
        return saveWithDialog();
    case Answer::No:
        if (recovery_)
            recovery_->remove();
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

bool AppController::saveWithDialog()
{
    const QString path = window_.askSavePath();
    if (path.isEmpty())
        return false;
    return saveProjectFile(path);
}

bool AppController::writeRecoveryCopy()
{
    if (!recovery_ || history_->isClean() || !window_.projectExists())
        return true;
    RecoveryCopy note;
    note.projectPath = window_.projectPath();
    note.folder = projectFolder();
    note.name = note.projectPath.isEmpty() ? ws_.settings.project_name : QFileInfo(note.projectPath).fileName();
    note.saved = QDateTime::currentDateTime();
    const QString error = recovery_->write(projectFileBytes(ws_), note);
    if (error.isEmpty())
        return true;
    // Said once per project: the question would come back every minute.
    if (!recoveryFailureShown_) {
        recoveryFailureShown_ = true;
        ui_.message(QStringLiteral("Не удалось записать копию проекта для восстановления\n") + error, QString(),
                    MessageIcon::Warning);
    }
    return false;
}

bool AppController::offerRecovery()
{
    if (!recovery_)
        return false;
    for (const RecoveryCopy& copy : recovery_->leftBehind()) {
        if (!ui_.question(copy.question())) {
            RecoveryStore::discard(copy);
            continue;
        }
        QFile f(copy.file);
        if (!f.open(QIODevice::ReadOnly)) {
            ui_.message(QStringLiteral("Не удалось открыть проект ") + QDir::toNativeSeparators(copy.file), QString(),
                        MessageIcon::Error);
            continue;
        }
        const QString folder = copy.folder.isEmpty() ? QDir::currentPath() : copy.folder;
        const ProjectReadResult r = readProjectBytes(ws_, f.readAll(), folder, ui_);
        f.close();
        if (!r.loaded()) {
            ui_.message(QStringLiteral("Не удалось открыть проект ") + QDir::toNativeSeparators(copy.file)
                            + (r.error.isEmpty() ? QString() : QStringLiteral("\n") + r.error),
                        QString(), MessageIcon::Error);
            continue;
        }
        window_.setProjectPath(copy.projectPath);
        projectLoaded(r, folder);
        // Never saved in this state: unsaved until the user saves it. This
        // run's own copy replaces the one just read.
        history_->forgetClean();
        historyChanged();
        writeRecoveryCopy();
        RecoveryStore::discard(copy);
        return true;
    }
    return false;
}

void AppController::openParameterEditor(int block)
{
    // The editor lays itself out for the block before it is shown.
    paramEditor_->openFor(block);
    window_.showChildWindow(paramEditor_.get());
}

void AppController::openAlgorithmEditor(int block)
{
    pendingAlgBlock_ = block;
    window_.showChildWindow(loading_.get());
    loading_->start();
}

void AppController::importAlgorithmDrawing(int block)
{
    const QString path = ui_.openFile(QStringLiteral("P-CAD file|*.net"));
    if (path.isEmpty())
        return; // nothing chosen: the program stays as it is
    ostrel::importAlgorithmDrawing(ws_.blocks, ws_.alg, block, path, ui_);
    commit(QStringLiteral("импорт алгоритма"));
}

bool AppController::openProjectFile(const QString& path)
{
    const ProjectReadResult r = readProject(ws_, path, ui_);
    if (!r.loaded()) {
        // Nothing was changed; say why instead of failing silently.
        ui_.message(QStringLiteral("Не удалось открыть проект ") + QDir::toNativeSeparators(path)
                        + (r.error.isEmpty() ? QString() : QStringLiteral("\n") + r.error),
                    QString(), MessageIcon::Error);
        window_.setEnabled(true);
        if (!window_.projectExists())
            window_.showLogo(true);
        return false;
    }
    window_.setProjectPath(QFileInfo(path).absoluteFilePath());
    projectLoaded(r, QFileInfo(path).absolutePath());
    return true;
}

void AppController::projectLoaded(const ProjectReadResult& r, const QString& folder)
{
    // File dialogs start in the project's folder from now on.
    projectFolder_ = folder;
    netlistMissing_ = r.status == ProjectReadStatus::NetlistMissing;
    QDir::setCurrent(projectFolder_);
    window_.shell().settings_reopened = 0;
    window_.applyProjectVersion(r.versionCode);
    window_.showNetlistMenuItem();
    writer_->projectOpened(); // TCP: connect (a failure is ignored); serial: close
    // Every canvas is built again from the pages read; page 1 becomes current.
    scada_->projectReplaced(folder);
    for (int p = 0; p < MainWindow::kPages; ++p)
        window_.setPageTabCaption(p, r.tabCaptions[size_t(p)]);
    window_.selectPage(0);
    previewProjectChanged();
    // The scheme was not re-imported (the import has shown its message): it
    // stands as the file stores it, so a save keeps the stored values; menus
    // and title stay.
    if (r.status != ProjectReadStatus::NetlistMissing && r.status != ProjectReadStatus::ImportFailed)
        window_.showProjectOpened();
    projectReplaced();
}

bool AppController::saveProjectFile(const QString& path)
{
    window_.scadaActions().lock->setChecked(true);
    commit(QStringLiteral("изменение"));
    const bool written = writeProject(ws_, path, ui_);
    // The save brings a few model values into their stored form (picture
    // names): that is no step of its own.
    history_->absorb();
    if (!written)
        return false;
    // The background pictures were copied beside the project file.
    projectFolder_ = QFileInfo(path).absolutePath();
    netlistMissing_ = false;
    scada_->setProjectFolder(projectFolder_);
    window_.setProjectPath(QFileInfo(path).absoluteFilePath());
    // The values keep what the table holds; they are saved beside the new
    // file by "Сохранить значения".
    preview_->schedule();
    history_->setClean();
    if (recovery_)
        recovery_->remove();
    return true;
}

QString AppController::journalPath() const
{
    const QString& path = window_.projectPath();
    return path.isEmpty() ? QString() : journalPathFor(path);
}

void AppController::writeScheme()
{
    // A scheme laid out from the project file alone has no wiring: it would
    // replace the controller's working scheme with a dead one.
    if (ws_.scheme_without_netlist) {
        ui_.message(kSchemeWithoutNetlistMessage, QString(), MessageIcon::Error);
        return;
    }
    checkedWrite(CheckScope::schemeOnly(), [this] {
        writer_->startSchemeWrite(buildSchemeImage(ws_.blocks, ws_.catalog, ws_.alg, ws_.settings.controller_number));
    });
}

void AppController::writeAllPages()
{
    // A write of all pages takes minutes over TCP: once the journal knows
    // what each page last sent, only the pages that changed are offered.
    QList<int> pages{0, 1, 2, 3, 4, 5, 6, 7};
    const QString journal = journalPath();
    if (!journal.isEmpty() && QFileInfo::exists(journal)) {
        const QList<PartState> parts = changedParts(ws_, readJournal(journal), *painter_, projectFolder());
        QList<int> changed;
        QStringList numbers;
        for (const PartState& st : parts)
            if (st.page >= 0 && (st.changed || !st.error.isEmpty())) {
                changed << st.page;
                numbers << QString::number(st.page + 1);
            }
        if (changed.size() < pages.size()) {
            const QString text = changed.isEmpty()
                ? QStringLiteral("Страницы не изменились с их последней записи в контроллер %1.\n"
                                 "Записать все страницы всё равно?")
                      .arg(ws_.settings.controller_number)
                : QStringLiteral("С последней записи изменились страницы: %1.\n"
                                 "Записать только их? (\"Нет\": записать все страницы)")
                      .arg(numbers.join(QStringLiteral(", ")));
            const Answer a = changed.isEmpty() ? (ui_.question(text) ? Answer::No : Answer::Cancel)
                                               : ui_.askYesNoCancel(text);
            if (a == Answer::Cancel)
                return;
            if (a == Answer::Yes)
                pages = changed;
        }
    }
    uint8_t mask = 0;
    for (int p : pages)
        mask |= uint8_t(1u << p);
    checkedWrite(CheckScope::pagesOnly(mask), [this, pages] {
        if (pages.size() == 8)
            writer_->startAllPagesWrite();
        else
            writer_->startPagesWrite(pages);
    });
}

void AppController::checkedWrite(const CheckScope& scope, std::function<void()> write)
{
    CheckContext context;
    context.projectFolder = projectFolder();
    context.netlistMissing = netlistMissing_;
    context.painter = painter_.get();
    QList<Problem> problems = ostrel::checkProject(ws_, context, scope);
    // A page that cannot be encoded is refused by the write itself, with
    // its message; nothing is sent.
    problems.removeIf([](const Problem& p) { return !p.isError() || p.code == QLatin1String("page-encoding"); });
    if (problems.isEmpty()) {
        pendingWrite_ = {};
        write();
        return;
    }
    pendingWrite_ = std::move(write);
    checkWindow_->showProblems(problems, true);
    checkWindow_->show();
    checkWindow_->raise();
    checkWindow_->activateWindow();
}

void AppController::journalPart(int page, const QByteArray& sent)
{
    const QString journal = journalPath();
    if (journal.isEmpty())
        return;
    const QString error = recordWrite(journal, journalRecord(ws_, page, sent, journalLinkName(ws_)));
    if (!error.isEmpty())
        ui_.message(QStringLiteral("Журнал записей не сохранён: ") + error, QString(), MessageIcon::Error);
}

void AppController::writePlant()
{
    auto show = [this] {
        plantWindow_->show();
        plantWindow_->raise();
        plantWindow_->activateWindow();
    };
    if (plantWindow_->writing()) {
        show();
        return;
    }
    const QString path = ui_.openFile(QStringLiteral("Установка|*.json"));
    if (path.isEmpty())
        return;
    PlantFile plant;
    QString error;
    if (!readPlantFile(path, plant, error)) {
        ui_.message(error, kPlantWindowTitle, MessageIcon::Error);
        return;
    }
    auto write = std::make_unique<PlantWrite>(plant, PlantWrite::Options{});
    QStringList errors;
    if (!write->load(errors)) {
        ui_.message(QStringLiteral("Установка не записана:\n") + errors.join(u'\n'), kPlantWindowTitle,
                    MessageIcon::Error);
        return;
    }
    QStringList faulty;
    for (int i = 0; i < write->size(); ++i)
        if (hasErrors(write->progress(i).problems))
            faulty << write->controller(i).name;
    // Without "Да" they are left out and the others written.
    if (!faulty.isEmpty())
        write->setForce(ui_.question(QStringLiteral("Проверка нашла ошибки в проектах: %1. Записать их всё равно?")
                                         .arg(faulty.join(QStringLiteral(", "))),
                                     kPlantWindowTitle));
    PlantWrite& started = *write;
    plantWindow_->follow(std::move(write));
    show();
    started.start();
}

void AppController::checkProject()
{
    CheckContext context;
    context.projectFolder = projectFolder();
    context.netlistMissing = netlistMissing_;
    context.painter = painter_.get();
    pendingWrite_ = {};
    checkWindow_->showProblems(ostrel::checkProject(ws_, context), false);
    checkWindow_->show();
    checkWindow_->raise();
    checkWindow_->activateWindow();
}

void AppController::showWhatChanges()
{
    const QString journal = journalPath();
    JournalContents contents;
    QString note;
    if (journal.isEmpty()) {
        note = QStringLiteral("Проект ещё не сохранён: журнала записей нет.");
    } else {
        contents = readJournal(journal);
        if (!contents.error.isEmpty())
            note = QStringLiteral("Журнал записей не читается: ") + contents.error;
        else if (!contents.exists)
            note = QStringLiteral("Журнала записей ещё нет: ") + QDir::toNativeSeparators(journal);
        else
            note = contents.warnings.join(QLatin1Char('\n'));
    }
    changesWindow_->showParts(changedParts(ws_, contents, *painter_, projectFolder()), note);
    changesWindow_->show();
    changesWindow_->raise();
    changesWindow_->activateWindow();
}

void AppController::showPlace(const Place& place)
{
    switch (place.where) {
    case Place::Where::Project:
        return;
    case Place::Where::Page:
        window_.showScadaMode();
        window_.selectPage(place.page - 1);
        return;
    case Place::Where::Element:
        scada_->showElement(ElementRef{place.kind, place.page - 1, place.number});
        return;
    case Place::Where::Step:
        pendingStep_ = place.step - 1;
        [[fallthrough]];
    case Place::Where::Block:
        if (place.block < 1 || place.block > BlockTable::kLastBlock || ws_.blocks.block_type[size_t(place.block)] == 0)
            return;
        window_.showSchemeMode();
        ws_.blocks.cur_block = uint8_t(place.block);
        ws_.blocks.cur_block_type = uint8_t(ws_.blocks.block_type[size_t(place.block)]);
        if (ws_.blocks.block_type[size_t(place.block)] == kAlgorithm)
            openAlgorithmEditor(place.block);
        else
            openParameterEditor(place.block);
        return;
    }
}

QString AppController::valuesFile() const
{
    QString name = QFileInfo(window_.projectPath()).completeBaseName();
    if (name.isEmpty())
        name = ws_.settings.project_name.trimmed();
    if (name.isEmpty())
        name = QStringLiteral("project");
    return QDir(projectFolder()).filePath(name + QStringLiteral("-values.json"));
}

void AppController::previewBlockRows()
{
    QList<BlockValuesModel::BlockRow> rows;
    for (int b = 1; b <= BlockTable::kLastBlock; ++b)
        if (const int type = ws_.blocks.block_type[size_t(b)]; type != 0)
            rows.append(BlockValuesModel::BlockRow{b, ws_.catalog.typeCode(type)});
    preview_->values().setBlocks(rows);
}

void AppController::previewProjectChanged()
{
    previewBlockRows();
    QString error;
    if (!preview_->loadValues(error, true)) {
        preview_->values().setValues({});
        ui_.message(error, kPanelPreviewTitle, MessageIcon::Warning);
    }
    preview_->schedule();
}

void AppController::openPanelPreview()
{
    PanelPreviewWindow& w = *previewWindow_;
    previewBlockRows(); // a netlist imported since shows its blocks
    w.show();
    w.raise();
    w.activateWindow();
}

QString AppController::projectFolder() const
{
    return projectFolder_.isEmpty() ? QDir::currentPath() : projectFolder_;
}

} // namespace ostrel
