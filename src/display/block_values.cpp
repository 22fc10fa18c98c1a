#include "display/block_values.h"
#include "platform/checked_file.h"
#include "scheme/block_table.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace ostrel {

namespace {

constexpr qsizetype kMaxValues = 256; // far more outputs than any block has

bool numbers(const QJsonValue& v, const QString& where, std::vector<double>& out, QString& error)
{
    if (!v.isArray()) {
        error = where + QStringLiteral(": expected a list of numbers");
        return false;
    }
    const QJsonArray a = v.toArray();
    if (a.size() > kMaxValues) {
        error = where + QStringLiteral(": more than %1 values").arg(kMaxValues);
        return false;
    }
    out.clear();
    for (qsizetype i = 0; i < a.size(); ++i) {
        const QJsonValue e = a[i];
        if (e.isBool()) {
            out.push_back(e.toBool() ? 1.0 : 0.0);
        } else if (e.isDouble() && std::isfinite(e.toDouble())) {
            out.push_back(e.toDouble());
        } else {
            error = where + QStringLiteral(": value %1 is not a number").arg(i + 1);
            return false;
        }
    }
    return true;
}

} // namespace

double BlockValues::at(const QHash<int, std::vector<double>>& table, int block, int index)
{
    const auto it = table.constFind(block);
    if (it == table.constEnd() || index < 0 || size_t(index) >= it->size())
        return 0.0;
    return (*it)[size_t(index)];
}

QList<int> BlockValues::blocks() const
{
    QList<int> out = outputs_.keys();
    for (auto it = setpoints_.constBegin(); it != setpoints_.constEnd(); ++it)
        if (!outputs_.contains(it.key()))
            out << it.key();
    std::sort(out.begin(), out.end());
    return out;
}

bool parseBlockValues(const QByteArray& json, BlockValues& out, QString& error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("not JSON at byte %1: %2").arg(parseError.offset).arg(parseError.errorString());
        return false;
    }
    if (!doc.isObject()) {
        error = QStringLiteral("expected an object of block numbers");
        return false;
    }
    BlockValues values;
    const QJsonObject root = doc.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        bool ok = false;
        const int block = it.key().trimmed().toInt(&ok);
        const QString where = QStringLiteral("block \"%1\"").arg(it.key());
        if (!ok || block < 1 || block > BlockTable::kLastBlock) {
            error = where + QStringLiteral(": not a block number 1..99");
            return false;
        }
        std::vector<double> list;
        if (it.value().isArray()) {
            if (!numbers(it.value(), where, list, error))
                return false;
            values.setOutputs(block, std::move(list));
            continue;
        }
        if (!it.value().isObject()) {
            error = where + QStringLiteral(": expected a list of outputs or {\"outputs\": [..], \"setpoints\": [..]}");
            return false;
        }
        const QJsonObject o = it.value().toObject();
        for (auto f = o.begin(); f != o.end(); ++f) {
            const bool outputs = f.key() == QLatin1String("outputs");
            if (!outputs && f.key() != QLatin1String("setpoints")) {
                error = where + QStringLiteral(": unknown key \"%1\"").arg(f.key());
                return false;
            }
            if (!numbers(f.value(), where + QLatin1Char(' ') + f.key(), list, error))
                return false;
            if (outputs)
                values.setOutputs(block, std::move(list));
            else
                values.setSetpoints(block, std::move(list));
        }
    }
    out = std::move(values);
    return true;
}

bool loadBlockValues(const QString& path, BlockValues& out, QString& error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, f.errorString());
        return false;
    }
    // A values file is a few lines; refuse anything unreasonably large.
    if (f.size() > 4 * 1024 * 1024) {
        error = QStringLiteral("%1: file too large for a values file").arg(path);
        return false;
    }
    QString reason;
    if (!parseBlockValues(f.readAll(), out, reason)) {
        error = path + QStringLiteral(": ") + reason;
        return false;
    }
    return true;
}

namespace {

QJsonArray jsonNumbers(const std::vector<double>& list)
{
    QJsonArray a;
    for (double v : list)
        a.append(v);
    return a;
}

} // namespace

QByteArray blockValuesJson(const BlockValues& values)
{
    QJsonObject root;
    for (int block : values.blocks()) {
        const std::vector<double> setpoints = values.setpointsOf(block);
        const QJsonArray outputs = jsonNumbers(values.outputsOf(block));
        if (setpoints.empty()) {
            root.insert(QString::number(block), outputs);
            continue;
        }
        QJsonObject o;
        o.insert(QStringLiteral("outputs"), outputs);
        o.insert(QStringLiteral("setpoints"), jsonNumbers(setpoints));
        root.insert(QString::number(block), o);
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString saveBlockValues(const QString& path, const BlockValues& values)
{
    return saveFileChecked(path, blockValuesJson(values));
}

} // namespace ostrel
