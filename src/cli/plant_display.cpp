#include "cli/plant_display.h"
#include "cli/commands.h"
#include "project/plant_write.h"
#include "project/project_check.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace ostrel::cli {

namespace {

QString partsText(const QList<int>& parts)
{
    QStringList names;
    int pages = 0;
    for (int p : parts) {
        if (p < 0)
            names << QStringLiteral("scheme");
        else
            ++pages;
    }
    if (pages == 1)
        names << QStringLiteral("page %1").arg(parts.last() + 1);
    else if (pages > 1)
        names << QStringLiteral("%1 pages").arg(pages);
    return names.isEmpty() ? QStringLiteral("nothing") : names.join(QStringLiteral(" + "));
}

QString seconds(qint64 ms)
{
    return QStringLiteral("%1 s").arg(double(ms) / 1000.0, 0, 'f', 1);
}

QString resultText(const PlantProgress& p)
{
    if (p.status == PlantStatus::Succeeded && p.nothingChanged)
        return QStringLiteral("unchanged");
    return plantStatusName(p.status);
}

int nameWidth(const PlantWrite& plant)
{
    int w = 4;
    for (int i = 0; i < plant.size(); ++i)
        w = std::max(w, int(plant.controller(i).name.size()));
    return w;
}

void printOut(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

QString minutesSeconds(qint64 ms)
{
    const qint64 s = (ms + 999) / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString plantProgressLine(const PlantWrite& plant, int i, int width)
{
    const PlantProgress& p = plant.progress(i);
    const QString name = plant.controller(i).name.leftJustified(width);
    if (p.status == PlantStatus::Waiting)
        return name + QStringLiteral("  waiting");
    constexpr int kBar = 20;
    const double done = p.plannedMs > 0 ? double(p.doneMs) / double(p.plannedMs) : (p.ended() ? 1.0 : 0.0);
    const int filled = std::clamp(int(done * kBar + 0.5), 0, kBar);
    const QString bar = QStringLiteral("[") + QString(filled, u'#') + QString(kBar - filled, u'-') + u']';
    if (p.ended())
        return QStringLiteral("%1  %2 %3  %4").arg(name, bar, resultText(p), seconds(p.elapsedMs));
    return QStringLiteral("%1  %2 %3%  %4  %5 left")
        .arg(name, bar)
        .arg(int(done * 100), 3)
        .arg(p.currentPart().leftJustified(7), minutesSeconds(p.leftMs()));
}

QString plantFinishedLine(const PlantWrite& plant, int i)
{
    const PlantProgress& p = plant.progress(i);
    QString line = QStringLiteral("%1: %2, %3, %4")
                       .arg(plant.controller(i).name, resultText(p), partsText(p.parts), seconds(p.elapsedMs));
    if (p.status == PlantStatus::Refused)
        line += QStringLiteral(": the check found errors (--force writes all the same)");
    else if (p.status != PlantStatus::Succeeded && !p.messages.isEmpty())
        line += QStringLiteral(": ") + p.messages.last();
    return line;
}

QString plantSummaryTable(const PlantWrite& plant)
{
    const int width = nameWidth(plant);
    QString out;
    auto row = [&](const QString& name, const QString& what, const QString& result, const QString& time,
                   const QString& hash) {
        out += QStringLiteral("%1  %2  %3  %4  %5").arg(name.leftJustified(width), what.leftJustified(18),
                                                        result.leftJustified(9), time.rightJustified(8), hash)
                   .trimmed()
            + u'\n';
    };
    row(QStringLiteral("name"), QStringLiteral("what"), QStringLiteral("result"), QStringLiteral("time"),
        QStringLiteral("sha256"));
    for (int i = 0; i < plant.size(); ++i) {
        const PlantProgress& p = plant.progress(i);
        row(plant.controller(i).name, partsText(p.parts), resultText(p), seconds(p.elapsedMs),
            p.sha256.isEmpty() ? QStringLiteral("-") : p.sha256);
    }
    return out;
}

QByteArray plantReportJson(const PlantWrite& plant)
{
    QJsonArray list;
    for (int i = 0; i < plant.size(); ++i) {
        const PlantController& c = plant.controller(i);
        const PlantProgress& p = plant.progress(i);
        auto parts = [](const QList<int>& ps) {
            QJsonArray a;
            for (int part : ps)
                a.append(part < 0 ? QJsonValue(QStringLiteral("scheme")) : QJsonValue(part + 1));
            return a;
        };
        QJsonArray problems;
        for (const Problem& pr : p.problems)
            problems.append(pr.toJson());
        QJsonObject o;
        o.insert(QStringLiteral("name"), c.name);
        o.insert(QStringLiteral("project"), c.project);
        o.insert(QStringLiteral("link"), c.link());
        o.insert(QStringLiteral("controller"), plant.controllerNumber(i));
        o.insert(QStringLiteral("write"), plantWhatName(c.what));
        o.insert(QStringLiteral("result"), resultText(p));
        o.insert(QStringLiteral("parts"), parts(p.parts));
        o.insert(QStringLiteral("written"), parts(p.written));
        o.insert(QStringLiteral("seconds"), double(p.elapsedMs) / 1000.0);
        o.insert(QStringLiteral("bytes"), p.bytes);
        o.insert(QStringLiteral("sha256"), p.sha256);
        o.insert(QStringLiteral("messages"), QJsonArray::fromStringList(p.messages));
        o.insert(QStringLiteral("problems"), problems);
        list.append(o);
    }
    QJsonObject top;
    top.insert(QStringLiteral("ok"), plant.allSucceeded());
    top.insert(QStringLiteral("controllers"), list);
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

PlantDisplay::PlantDisplay(const PlantWrite& plant, bool terminal)
    : plant_(plant), terminal_(terminal), nameWidth_(nameWidth(plant)), reported_(size_t(plant.size()), false)
{
    if (terminal_) {
        // Four redraws a second: the pacing is in hundreds of milliseconds.
        timer_.setInterval(250);
        connect(&timer_, &QTimer::timeout, this, &PlantDisplay::redraw);
        timer_.start();
        redraw();
        return;
    }
    connect(&plant, &PlantWrite::changed, this, [this](int i) {
        if (reported_[size_t(i)] || !plant_.progress(i).ended())
            return;
        reported_[size_t(i)] = true;
        printOut(plantFinishedLine(plant_, i) + u'\n');
    });
}

void PlantDisplay::redraw()
{
    QString out;
    if (drawn_ > 0)
        out += QStringLiteral("\x1b[%1A").arg(drawn_);
    for (int i = 0; i < plant_.size(); ++i)
        out += QStringLiteral("\r\x1b[2K") + plantProgressLine(plant_, i, nameWidth_) + u'\n';
    drawn_ = plant_.size();
    printOut(out);
}

void PlantDisplay::finish()
{
    if (terminal_) {
        timer_.stop();
        redraw();
        printOut(QStringLiteral("\n"));
    }
}

} // namespace ostrel::cli
