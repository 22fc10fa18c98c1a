#pragma once
// Writing into the controller from the main window: the scheme write of
// "&Записать схему в Ostrel" and the page writes, with the progress window
// `Write_SCHEMA`. The sequences run in the TransferEngine; this class shows
// their progress and routes "Отмена".
#include "link/transfer_engine.h"
#include "link/ui/write_progress_window.h"
#include <QObject>
#include <QPointer>

class QWidget;

namespace ostrel {

struct LinkSettings;
struct SchemeImage;
struct TransferState;
class Interaction;

inline const QString kSchemeWriteCaption = QStringLiteral("Запись схемы в Ostrel");
inline const QString kPageWriteCaption = QStringLiteral("Запись SCADA в Ostrel");

// Not a child of the parent window: the owner holds it (the progress window
// itself is the parent window's child).
class SchemeWriteController : public QObject {
    Q_OBJECT
public:
    SchemeWriteController(TransferState& transfer, const LinkSettings& settings, Interaction& ui,
                          QWidget* parentWindow);
    ~SchemeWriteController() override;

    // "&Записать схему в Ostrel" with the serialised scheme.
    void startSchemeWrite(const SchemeImage& image);
    // Page writes: the renderer fills the transfer state's part_payload for a
    // page (see TransferEngine::setPagePreparer).
    void setPagePreparer(TransferEngine::PagePreparer preparer);
    void startPageWrite(int page); // the current page
    void startAllPagesWrite();   // pages 1..8 one after the other
    void startPagesWrite(const QList<int>& pages); // these pages (0..7), one after the other
    // A page sequence with ready part payloads.
    void startPageSequence(int page, const std::array<QByteArray, 8>& payloads);

    // The link part of opening a project (call after the settings are read).
    void projectOpened();

    TransferEngine& engine() { return engine_; }
    WriteProgressWindow* progressWindow() const { return window_; }

signals:
    void transferActiveChanged(bool active);
    void finished(bool ok);
    void currentPageChanged(int page);   // keep the page tabs in step
    void pageTabReselected(int page);

private:
    void showWindow(const QString& caption);
    void closeWindow();

    TransferEngine engine_;
    QPointer<WriteProgressWindow> window_;
};

} // namespace ostrel
