// ostrel-cli scheme: a new project from a netlist, without windows, printed as JSON.
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "platform/headless_interaction.h"
#include "workspace/new_project.h"
#include "workspace/workspace.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ostrel::cli {

namespace {

QJsonArray bytes(const uint8_t* data, int n)
{
    QJsonArray a;
    for (int i = 0; i < n; ++i)
        a.append(int(data[i]));
    return a;
}

QJsonObject blockJson(const Workspace& ws, const ImportResult& r, int n)
{
    const BlockTable& bt = ws.blocks;
    const int t = bt.block_type[size_t(n)];
    QJsonObject o;
    o[QStringLiteral("number")] = n;
    o[QStringLiteral("type")] = t;
    o[QStringLiteral("code")] = ws.catalog.typeCode(t);
    o[QStringLiteral("component")] = n < int(r.component.size()) ? r.component[size_t(n)] : QString();
    o[QStringLiteral("param_base")] = bt.param_base[size_t(n)];
    o[QStringLiteral("text_base")] = bt.text_base[size_t(n)];
    QJsonArray params;
    for (int k = 0; k < ws.catalog.paramCount(t); ++k) {
        const int i = bt.param_base[size_t(n)] + k;
        params.append(i >= 0 && i < BlockTable::kParams ? double(bt.ParamStore[size_t(i)]) : 0.0);
    }
    o[QStringLiteral("params")] = params;
    QJsonArray texts;
    for (int k = 0; k < ws.catalog.textCount(t); ++k) {
        const int i = bt.text_base[size_t(n)] + k;
        texts.append(i >= 0 && i < BlockTable::kTexts ? bt.TextStore[size_t(i)] : QString());
    }
    o[QStringLiteral("texts")] = texts;
    QJsonArray inputs;
    for (int i = 0; i < 8; ++i)
        inputs.append(QJsonArray{int(bt.InputLink[size_t(n)][size_t(2 * i)]),
                                 int(bt.InputLink[size_t(n)][size_t(2 * i + 1)])});
    o[QStringLiteral("inputs")] = inputs;
    o[QStringLiteral("invert_mask")] = int(bt.invert_mask[size_t(n)]);
    return o;
}

} // namespace

int runScheme(const QStringList& args)
{
    const QString usage = QStringLiteral("usage: ostrel-cli scheme FILE.net [--version 5|3|0|1]");
    QString file;
    int version = kDefaultVersion;
    // A --version without a value is read as the file name.
    const std::vector<Option> options{
        {.name = QLatin1StringView("--version"),
         .take =
             [&version](const QString& v) {
                 bool ok = false;
                 version = v.toInt(&ok);
                 return ok && isOfferedVersion(version) ? QString()
                                                        : QStringLiteral("scheme: --version must be 5, 3, 0 or 1");
             },
         .missingIsPositional = true},
    };
    const QString wrong = readArguments(
        args, options,
        [&](const QString& a) {
            if (!file.isEmpty())
                return usage;
            file = a;
            return QString();
        },
        UnknownOptions::Lenient);
    if (!wrong.isEmpty() || file.isEmpty()) {
        printError(wrong.isEmpty() ? usage : wrong);
        return 2;
    }

    QString error;
    if (!checkInputFile(file, error)) {
        printError(error);
        return 2;
    }

    // "&Создать проект", "Загрузить" with the file, then "Ok" of a new project.
    Workspace ws;
    ws.selectVersion(uint8_t(version));
    HeadlessInteraction ui;
    ImportResult result;
    if (!newProjectFromNetlist(ws, QFileInfo(file).absoluteFilePath(), ui, &result)) {
        printError(QStringLiteral("scheme: cannot read ") + file);
        return 2;
    }

    const BlockTable& bt = ws.blocks;
    QJsonObject root;
    root[QStringLiteral("version_code")] = int(ws.version_code);
    root[QStringLiteral("param_bytes")] = bt.param_bytes;
    root[QStringLiteral("text_bytes")] = bt.text_bytes;
    QJsonArray messages;
    for (const QString& m : ui.texts())
        messages.append(m);
    root[QStringLiteral("messages")] = messages;
    QJsonArray blocks;
    for (int n = 1; n <= BlockTable::kLastBlock; ++n)
        if (bt.block_type[size_t(n)] != kNoBlockType)
            blocks.append(blockJson(ws, result, n));
    root[QStringLiteral("blocks")] = blocks;
    root[QStringLiteral("graph_input_link")] = bytes(bt.graph_input_link.data(), 66);
    root[QStringLiteral("journal_input_link")] = bytes(bt.journal_input_link.data(), 66);
    QJsonArray special;
    for (const auto& row : bt.special_link)
        special.append(bytes(row.data(), 66));
    root[QStringLiteral("special_link")] = special;
    root[QStringLiteral("journal_invert")] = bytes(bt.journal_invert.data(), 4);
    root[QStringLiteral("report_invert")] = bytes(bt.report_invert.data(), 4);
    printJson(QJsonDocument(root).toJson(QJsonDocument::Compact));
    // The table as far as it was built is printed all the same; the import's
    // error messages also go to standard error.
    if (result.errorShown) {
        for (const Message& m : ui.messages())
            printMessage(m);
        return 1;
    }
    return 0;
}

} // namespace ostrel::cli
