#include "display/panel_preview.h"

#include "wire/transfer_state.h"
#include <QFileInfo>
#include <algorithm>

namespace ostrel {

PanelPreview::PanelPreview(PanelPreviewSource source, QObject* parent)
    : QObject(parent), source_(std::move(source)), ts_(std::make_unique<TransferState>())
{
    timer_.setSingleShot(true);
    timer_.setInterval(kUpdateDelayMs);
    connect(&timer_, &QTimer::timeout, this, &PanelPreview::refresh);
    clockTimer_.setInterval(1000);
    connect(&clockTimer_, &QTimer::timeout, this, &PanelPreview::relayer);
    connect(&values_, &BlockValuesModel::valuesChanged, this, &PanelPreview::relayer);
}

PanelPreview::~PanelPreview() = default;

void PanelPreview::schedule()
{
    dirty_ = true;
    if (active_ && !timer_.isActive())
        timer_.start();
}

void PanelPreview::setActive(bool active)
{
    active_ = active;
    if (!active_) {
        timer_.stop();
        clockTimer_.stop();
        return;
    }
    if (dirty_)
        refresh();
}

LiveOptions PanelPreview::liveOptions() const
{
    LiveOptions o;
    o.touch_cells = touchCells_;
    o.now = clockTime_;
    return o;
}

void PanelPreview::refresh()
{
    timer_.stop();
    dirty_ = false;
    page_ = std::clamp(source_.currentPage(), 0, 7);
    PanelPageOptions o;
    o.version_code = source_.versionCode();
    o.controller = source_.controller();
    o.project_folder = source_.projectFolder();
    o.live = liveOptions();
    result_ = composePanelPage(source_.painter, source_.pages, page_, values_.values(), o, *ts_);
    updateDifference();
    const bool clock = result_.ok && clockRecord(result_.received.tables.clock).used;
    if (clock && active_ && !clockTime_.isValid())
        clockTimer_.start();
    else
        clockTimer_.stop();
    ++updates_;
    emit updated();
}

void PanelPreview::relayer()
{
    if (!result_.ok)
        return;
    recomposeLiveLayer(result_, values_.values(), liveOptions());
    emit updated();
}

void PanelPreview::updateDifference()
{
    difference_ = differences_ && result_.ok ? visibleDifference(result_.prepared.image, result_.shown) : ImageDifference{};
}

void PanelPreview::setTouchCells(bool on)
{
    touchCells_ = on;
    relayer();
}

void PanelPreview::setDifferences(bool on)
{
    differences_ = on;
    updateDifference();
    emit updated();
}

void PanelPreview::setClockTime(const QDateTime& time)
{
    clockTime_ = time;
    if (clockTime_.isValid())
        clockTimer_.stop();
    relayer();
}

bool PanelPreview::loadValues(QString& error, bool missingIsEmpty)
{
    const QString path = valuesFile();
    if (missingIsEmpty && !QFileInfo::exists(path)) {
        values_.setValues({});
        return true;
    }
    BlockValues v;
    if (!loadBlockValues(path, v, error))
        return false;
    values_.setValues(std::move(v));
    return true;
}

QString PanelPreview::saveValues() { return saveBlockValues(valuesFile(), values_.values()); }

} // namespace ostrel
