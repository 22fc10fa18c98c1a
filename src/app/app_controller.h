#pragma once
// Connects the main window to the windows and commands of the other parts:
// the parameter editor, the loading window and the step editor, the drawing
// import, the project file and the writes into the controller. Owns those
// secondary windows; the main window closes them at shutdown.
#include <QObject>
#include <QString>
#include <memory>

namespace ostrel {

inline const QString kSchemeWithoutNetlistMessage =
    QStringLiteral("Схема не загружена из netlist: запись схемы в Ostrel невозможна!");

struct Workspace;
class Interaction;
class MainWindow;
class BlockParameterEditor;
class StepEditor;
class LoadingWindow;
class SchemeWriteController;
class ElementPictures;
class PagePainter;
class ScadaEditor;
class PanelPreview;
class PanelPreviewWindow;

class AppController : public QObject {
    Q_OBJECT
public:
    AppController(Workspace& ws, Interaction& ui, MainWindow& window);
    ~AppController() override;

    BlockParameterEditor& parameterEditor() { return *paramEditor_; }
    StepEditor& stepEditor() { return *stepEditor_; }
    LoadingWindow& loadingWindow() { return *loading_; }
    SchemeWriteController& writer() { return *writer_; }
    // The element pictures and the page painter of the run (page writes).
    ElementPictures& pictures() { return *pictures_; }
    PagePainter& pagePainter() { return *painter_; }
    // Folder of the project file once one was opened or saved, else the
    // current folder: pictures named by file name only are looked for there.
    QString projectFolder() const;
    ScadaEditor& scadaEditor() { return *scada_; }
    // "Просмотр панели" and the preview it shows.
    PanelPreview& panelPreview() { return *preview_; }
    PanelPreviewWindow& panelPreviewWindow() { return *previewWindow_; }
    // The sample values of the preview: NAME-values.json beside the project
    // file (NAME its file name without ".prt"; the project's name before it
    // was saved).
    QString valuesFile() const;

    // Opens a project file (the command line and "&Открыть проект" end here).
    bool openProjectFile(const QString& path);
    // Writes the project file (the save dialog ends here).
    bool saveProjectFile(const QString& path);

private:
    void openParameterEditor(int block);
    void openAlgorithmEditor(int block);
    void importAlgorithmDrawing(int block);
    void openPanelPreview();
    // A project was opened, started or saved under another name: the
    // preview's block rows and values follow it.
    void previewProjectChanged();
    void previewBlockRows();

    Workspace& ws_;
    Interaction& ui_;
    MainWindow& window_;
    std::unique_ptr<BlockParameterEditor> paramEditor_;
    std::unique_ptr<StepEditor> stepEditor_;
    std::unique_ptr<LoadingWindow> loading_;
    // The painter outlives the writer, whose page preparer uses it.
    std::unique_ptr<ElementPictures> pictures_;
    std::unique_ptr<PagePainter> painter_;
    std::unique_ptr<SchemeWriteController> writer_;
    std::unique_ptr<ScadaEditor> scada_;
    std::unique_ptr<PanelPreview> preview_;
    std::unique_ptr<PanelPreviewWindow> previewWindow_;
    QString projectFolder_;
    QString projectFile_; // the project file once one was opened or saved
    int pendingAlgBlock_ = 0;
};

} // namespace ostrel
