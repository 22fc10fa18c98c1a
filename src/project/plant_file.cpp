#include "project/plant_file.h"
#include "link/link_settings.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <array>

namespace ostrel {

namespace {

struct WhatName {
    PlantWhat what;
    const char* name;
};
constexpr std::array<WhatName, 4> kWhatNames{{{PlantWhat::Scheme, "scheme"},
                                               {PlantWhat::Pages, "pages"},
                                               {PlantWhat::All, "all"},
                                               {PlantWhat::Changed, "changed"}}};

// HOST:PORT with a port 1..65535; false when not.
bool parseHostPort(const QString& text, QString& host, quint16& port)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    bool ok = false;
    const int p = text.mid(colon + 1).toInt(&ok);
    if (!ok || p < 1 || p > 65535)
        return false;
    host = text.left(colon);
    port = quint16(p);
    return true;
}

} // namespace

QString plantWhatName(PlantWhat what)
{
    for (const WhatName& w : kWhatNames)
        if (w.what == what)
            return QString::fromLatin1(w.name);
    return {};
}

QString PlantController::link() const
{
    return usesTcp() ? QStringLiteral("%1:%2").arg(tcpHost).arg(tcpPort) : serialDevice;
}

bool readPlantFile(const QString& path, PlantFile& plant, QString& error)
{
    QFile f(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        error = QStringLiteral("cannot open %1: no such file").arg(path);
        return false;
    }
    if (!info.isFile() || !f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot open %1: %2").arg(path, info.isFile() ? f.errorString() : QStringLiteral("not a regular file"));
        return false;
    }
    return parsePlantFile(f.readAll(), path, plant, error);
}

bool parsePlantFile(const QByteArray& json, const QString& path, PlantFile& plant, QString& error)
{
    plant = PlantFile{};
    plant.path = QFileInfo(path).absoluteFilePath();
    const QDir base = QFileInfo(path).absoluteDir();
    auto fail = [&](const QString& line) {
        error = path + QStringLiteral(": ") + line;
        return false;
    };
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError)
        return fail(QStringLiteral("not JSON: %1 at offset %2").arg(parse.errorString()).arg(parse.offset));
    if (!doc.isObject())
        return fail(QStringLiteral("expected an object {\"controllers\": [...]}"));
    const QJsonObject top = doc.object();
    for (auto it = top.begin(); it != top.end(); ++it)
        if (it.key() != QLatin1String("controllers"))
            return fail(QStringLiteral("unknown key \"%1\"").arg(it.key()));
    if (!top.value(QLatin1String("controllers")).isArray())
        return fail(QStringLiteral("\"controllers\" must be a list of controllers"));
    const QJsonArray list = top.value(QLatin1String("controllers")).toArray();
    if (list.isEmpty())
        return fail(QStringLiteral("\"controllers\" holds no controller"));
    QSet<QString> names;
    for (qsizetype i = 0; i < list.size(); ++i) {
        // Until the name is known the controller is named by its place.
        QString who = QStringLiteral("controller %1").arg(i + 1);
        if (!list[i].isObject())
            return fail(who + QStringLiteral(": expected an object"));
        const QJsonObject o = list[i].toObject();
        PlantController c;
        const QJsonValue name = o.value(QLatin1String("name"));
        if (!name.isString() || name.toString().trimmed().isEmpty())
            return fail(who + QStringLiteral(": \"name\" must be a non-empty text"));
        c.name = name.toString();
        who = c.name;
        if (names.contains(c.name))
            return fail(who + QStringLiteral(": \"name\" is given to two controllers"));
        names.insert(c.name);
        bool haveProject = false;
        int links = 0;
        for (auto it = o.begin(); it != o.end(); ++it) {
            const QString key = it.key();
            const QJsonValue v = it.value();
            auto bad = [&](const QString& expected) {
                return fail(QStringLiteral("%1: \"%2\" %3").arg(who, key, expected));
            };
            if (key == QLatin1String("name")) {
                continue;
            } else if (key == QLatin1String("project")) {
                if (!v.isString() || v.toString().isEmpty())
                    return bad(QStringLiteral("must be a project file name"));
                c.project = QDir::cleanPath(base.absoluteFilePath(v.toString()));
                haveProject = true;
            } else if (key == QLatin1String("tcp")) {
                if (!v.isString() || !parseHostPort(v.toString(), c.tcpHost, c.tcpPort))
                    return bad(QStringLiteral("must be HOST:PORT with a port 1..65535"));
                ++links;
            } else if (key == QLatin1String("serial")) {
                if (!v.isString() || v.toString().isEmpty())
                    return bad(QStringLiteral("must be a serial device"));
                c.serialDevice = v.toString();
                ++links;
            } else if (key == QLatin1String("controller")) {
                const double n = v.toDouble(-1);
                if (!v.isDouble() || n != double(int(n)) || n < 1 || n > LinkSettings::kControllers)
                    return bad(QStringLiteral("must be a controller number 1..8"));
                c.controller = int(n);
            } else if (key == QLatin1String("write")) {
                bool known = false;
                for (const WhatName& w : kWhatNames)
                    if (v.toString() == QLatin1String(w.name)) {
                        c.what = w.what;
                        known = true;
                    }
                if (!v.isString() || !known)
                    return bad(QStringLiteral("must be one of scheme, pages, all, changed"));
            } else {
                return fail(QStringLiteral("%1: unknown key \"%2\"").arg(who, key));
            }
        }
        if (!haveProject)
            return fail(who + QStringLiteral(": \"project\" is missing"));
        if (links != 1)
            return fail(who + QStringLiteral(": give one of \"tcp\" and \"serial\""));
        if (!o.contains(QLatin1String("write")))
            return fail(who + QStringLiteral(": \"write\" is missing (scheme, pages, all or changed)"));
        plant.controllers.append(c);
    }
    return true;
}

} // namespace ostrel
