#pragma once
// What a decoded scheme write of the example project must equal: the JSON
// `ostrel-cli scheme` prints for the project's netlist, with the parameter
// values and texts the project holds, less what the wire cannot carry
// (component names, import messages).
#include "wire/scheme_encoder.h"
#include "workspace/workspace.h"
#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace ostrel::testing {

inline constexpr int kRs485Type = 5;
inline constexpr int kAlgorithmType = 45;

inline QByteArray runCli(const QStringList& args, int* exitCode = nullptr)
{
    QProcess p;
    p.start(QStringLiteral(OSTREL_CLI), args);
    const bool ended = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    if (exitCode)
        *exitCode = ended ? p.exitCode() : -1;
    if (!ended || p.exitCode() != 0)
        qWarning() << args << p.readAllStandardError();
    return p.readAllStandardOutput();
}

inline QJsonObject withoutImportNotes(QJsonObject root)
{
    root.remove(QStringLiteral("messages"));
    QJsonArray blocks;
    for (const QJsonValue& b : root[QStringLiteral("blocks")].toArray()) {
        QJsonObject o = b.toObject();
        o.remove(QStringLiteral("component"));
        blocks.append(o);
    }
    root[QStringLiteral("blocks")] = blocks;
    return root;
}

// `ostrel-cli scheme NETLIST` with the workspace's values put in, as the wire
// carries them: the texts sent as one byte (RS485 and algorithm blocks) as
// their numeric value, so an empty step field reads "0".
inline QJsonObject expectedSchemeJson(const Workspace& ws, const QString& netlist)
{
    QJsonObject root = QJsonDocument::fromJson(
        runCli({QStringLiteral("scheme"), netlist, QStringLiteral("--version"), QString::number(ws.version_code)}))
                           .object();
    QJsonArray blocks;
    for (const QJsonValue& b : root[QStringLiteral("blocks")].toArray()) {
        QJsonObject o = b.toObject();
        const int n = o[QStringLiteral("number")].toInt();
        QJsonArray params, texts;
        const int t = ws.blocks.block_type[size_t(n)];
        for (int k = 0; k < ws.catalog.paramCount(t); ++k)
            params.append(double(ws.blocks.ParamStore[size_t(ws.blocks.param_base[size_t(n)] + k)]));
        const bool byteTexts = t == kRs485Type || t == kAlgorithmType;
        for (int k = 0; k < ws.catalog.textCount(t); ++k) {
            const QString& text = ws.blocks.TextStore[size_t(ws.blocks.text_base[size_t(n)] + k)];
            texts.append(byteTexts ? QString::number(textNumericValue(text)) : text);
        }
        o[QStringLiteral("params")] = params;
        o[QStringLiteral("texts")] = texts;
        blocks.append(o);
    }
    root[QStringLiteral("blocks")] = blocks;
    return withoutImportNotes(root);
}

} // namespace ostrel::testing
