#pragma once
// The plant file: the controllers of one installation, each with its project,
// its link and what to write into it. JSON:
//   {"controllers": [{"name": "Котёл 1", "project": "k1/boiler.prt",
//     "tcp": "127.0.0.1:5020", "controller": 3, "write": "scheme"}, ...]}
// A project path is relative to the plant file. Exactly one of "tcp" and
// "serial"; "controller" (1..8) defaults to the project's own number; "write"
// is one of scheme, pages, all, changed. Any other key, and any bad value,
// is refused with the controller's name and the key.
#include <QList>
#include <QString>
#include <optional>

namespace ostrel {

enum class PlantWhat { Scheme, Pages, All, Changed };

// "scheme", "pages", "all", "changed".
QString plantWhatName(PlantWhat what);

struct PlantController {
    QString name;
    QString project;          // absolute path
    QString tcpHost;          // "tcp": HOST:PORT
    quint16 tcpPort = 0;
    QString serialDevice;     // "serial": DEVICE
    std::optional<int> controller;
    PlantWhat what = PlantWhat::All;

    bool usesTcp() const { return !tcpHost.isEmpty(); }
    // The link as the journal names it: "HOST:PORT" or the device.
    QString link() const;
};

struct PlantFile {
    QString path;             // absolute path of the plant file
    QList<PlantController> controllers;
};

// false with one line naming the file, and the controller and key at fault
// ("plant.json: Котёл 1: unknown key \"speed\"").
bool readPlantFile(const QString& path, PlantFile& plant, QString& error);
// The same for text already read; `path` names it and is the base of the
// project paths.
bool parsePlantFile(const QByteArray& json, const QString& path, PlantFile& plant, QString& error);

} // namespace ostrel
