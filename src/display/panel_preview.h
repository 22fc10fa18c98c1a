#pragma once
// The live preview of the current SCADA page as the panel will show it. Asks
// its source for the pages, the current page and the project's settings,
// composes the page through the write's encoder and the panel's decoder
// (composePanelPage) and keeps the result, the sample values and the
// quantisation's visible loss. Changes of the page are coalesced: schedule()
// updates once, kUpdateDelayMs later, however many edits came in between.
// While inactive (its window hidden) nothing is composed; activation
// catches up.
#include "display/image_difference.h"
#include "display/panel_page.h"
#include "display/values_table.h"
#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace ostrel {

class PagePainter;
struct ScadaPages;
struct TransferState;

struct PanelPreviewSource {
    const ScadaPages& pages;
    PagePainter& painter;
    std::function<int()> currentPage;     // 0..7
    std::function<int()> versionCode;
    std::function<int()> controller;      // 1..8
    std::function<QString()> projectFolder;
    std::function<QString()> valuesFile;  // NAME-values.json beside the project
};

class PanelPreview : public QObject {
    Q_OBJECT
public:
    static constexpr int kUpdateDelayMs = 40;

    explicit PanelPreview(PanelPreviewSource source, QObject* parent = nullptr);
    ~PanelPreview() override;

    // The page changed (an edit, undo, a page switch): update soon.
    void schedule();
    bool pending() const { return timer_.isActive() || (dirty_ && !active_); }
    // Composes the current page now.
    void refresh();
    void setActive(bool active);
    bool active() const { return active_; }

    void setTouchCells(bool on);
    bool touchCells() const { return touchCells_; }
    void setDifferences(bool on);
    bool differences() const { return differences_; }
    // The time the clock shows; an invalid time follows the current time.
    void setClockTime(const QDateTime& time);

    BlockValuesModel& values() { return values_; }
    // Reads the values file (a missing file gives empty values when
    // `missingIsEmpty`); false with the reason.
    bool loadValues(QString& error, bool missingIsEmpty = false);
    // Writes the values file; empty on success, else the reason.
    QString saveValues();
    QString valuesFile() const { return source_.valuesFile(); }

    int page() const { return page_; }
    const PanelPage& result() const { return result_; }
    // The image the panel shows (null when the page cannot be written).
    const QImage& image() const { return result_.image; }
    // Red where the 12-bit image differs visibly from the painted page (when
    // differences are on and the page was composed).
    const ImageDifference& difference() const { return difference_; }
    int updates() const { return updates_; }

signals:
    void updated();

private:
    LiveOptions liveOptions() const;
    void relayer();
    void updateDifference();

    PanelPreviewSource source_;
    std::unique_ptr<TransferState> ts_; // scratch buffer, never the running write's
    BlockValuesModel values_;
    PanelPage result_;
    ImageDifference difference_;
    QTimer timer_;
    QTimer clockTimer_; // the clock's minutes go on while the page stands
    QDateTime clockTime_;
    int page_ = 0;
    int updates_ = 0;
    bool active_ = false;
    bool dirty_ = true;
    bool touchCells_ = false;
    bool differences_ = false;
};

} // namespace ostrel
