#pragma once
// What ostrel-cli write-plant shows of a plant write: on a terminal one line
// a controller, redrawn in place (a bar, the part being sent, the time left
// by the protocol's intervals); otherwise one line per finished controller;
// at the end the summary table and the JSON report.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

namespace ostrel {
class PlantWrite;
}

namespace ostrel::cli {

// "1:05" or "0:09".
QString minutesSeconds(qint64 ms);

// The progress line of controller `i`, `nameWidth` the width of the name column.
QString plantProgressLine(const PlantWrite& plant, int i, int nameWidth);

// The line of a controller whose write ended ("Котёл 1: ok, scheme + 8 pages, 150.2 s").
QString plantFinishedLine(const PlantWrite& plant, int i);

// name, what, result, time, SHA-256: a header and one row a controller.
QString plantSummaryTable(const PlantWrite& plant);

// {"ok": bool, "controllers": [{"name", "project", "link", "controller",
//  "write", "result", "parts", "written", "seconds", "bytes", "sha256",
//  "messages", "problems"}]}
QByteArray plantReportJson(const PlantWrite& plant);

// Follows a plant write on standard output.
class PlantDisplay : public QObject {
public:
    PlantDisplay(const PlantWrite& plant, bool terminal);
    // The last state of the live lines (a terminal), before the table.
    void finish();

private:
    void redraw();

    const PlantWrite& plant_;
    bool terminal_;
    int nameWidth_ = 0;
    int drawn_ = 0;                 // lines of the live block on the terminal
    std::vector<bool> reported_;    // finished line printed
    QTimer timer_;
};

} // namespace ostrel::cli
