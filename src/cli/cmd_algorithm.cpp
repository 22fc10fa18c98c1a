// ostrel-cli algorithm SCHEME.net DRAWING.net [--block N]: imports the scheme
// into a fresh workspace, then the drawn algorithm into one algorithm block,
// and prints the resulting program as JSON.
#include "algorithm/drawing_import.h"
#include "algorithm/step_program.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "platform/headless_interaction.h"
#include "workspace/new_project.h"
#include "workspace/workspace.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

namespace ostrel::cli {

int runAlgorithm(const QStringList& args)
{
    QStringList files;
    int block = -1;
    const QString noBlock = QStringLiteral("--block needs a block number");
    const std::vector<Option> options{
        {.name = QLatin1StringView("--block"),
         .take =
             [&](const QString& v) {
                 bool ok = false;
                 block = v.toInt(&ok);
                 return ok ? QString() : noBlock;
             },
         .missing = noBlock},
    };
    const QString wrong = readArguments(
        args, options,
        [&files](const QString& a) {
            files.append(a);
            return QString();
        },
        UnknownOptions::Lenient);
    if (!wrong.isEmpty()) {
        printError(wrong);
        return 2;
    }
    if (files.size() != 2) {
        printError(QStringLiteral("usage: ostrel-cli algorithm SCHEME.net DRAWING.net [--block N]"));
        return 2;
    }
    for (const QString& f : files) {
        QString error;
        if (!checkInputFile(f, error)) {
            printError(error);
            return 2;
        }
    }

    auto ws = std::make_unique<Workspace>();
    HeadlessInteraction ui;
    if (!newProjectFromNetlist(*ws, QFileInfo(files[0]).absoluteFilePath(), ui)) {
        printError(QStringLiteral("cannot read %1").arg(files[0]));
        return 2;
    }

    if (block < 0)
        block = alg::firstAlgorithmBlock(ws->blocks);
    if (!alg::isAlgorithmBlock(ws->blocks, block)) {
        printError(block < 0 ? QStringLiteral("the scheme has no algorithm block")
                             : QStringLiteral("block %1 is not an algorithm block").arg(block));
        return 2;
    }
    const qsizetype before = ui.messages().size();
    const DrawingImportOutcome outcome = importAlgorithmDrawing(ws->blocks, ws->alg, block, files[1], ui);
    if (outcome == DrawingImportOutcome::CannotOpen) {
        printError(QStringLiteral("cannot read %1").arg(files[1]));
        return 2;
    }
    // The drawing could not be read ("Ошибка считывания файла!!!"), or the
    // import was abandoned and the previous program put back: no program came
    // from it, so none is printed; the messages go to standard error.
    if (outcome == DrawingImportOutcome::ReadFailed || outcome == DrawingImportOutcome::Aborted) {
        for (qsizetype i = before; i < ui.messages().size(); ++i)
            printMessage(ui.messages()[i]);
        return 1;
    }

    QJsonArray messages;
    for (const QString& m : ui.texts())
        messages.append(m);
    QJsonArray steps;
    for (int s = 0; s < alg::kSteps; ++s) {
        QJsonArray fields;
        for (int f = 0; f < alg::kFields; ++f)
            fields.append(alg::stepField(ws->blocks, block, s, f));
        steps.append(fields);
    }
    QJsonArray comments;
    for (const QString& c : ws->alg.alg_comments)
        comments.append(c);
    QJsonArray flags;
    for (int s = 0; s < alg::kSteps; ++s)
        flags.append(QJsonArray{int(ws->alg.call_flags[s][0]), int(ws->alg.call_flags[s][1])});
    QJsonArray setpoints;
    for (int k = 1; k <= alg::kSetpoints; ++k)
        setpoints.append(double(alg::setpoint(ws->blocks, block, k)));

    QJsonObject out;
    out[QStringLiteral("block")] = block;
    out[QStringLiteral("messages")] = messages;
    out[QStringLiteral("steps")] = steps;
    out[QStringLiteral("comments")] = comments;
    out[QStringLiteral("call_flags")] = flags;
    out[QStringLiteral("setpoints")] = setpoints;
    printJson(QJsonDocument(out).toJson(QJsonDocument::Compact));
    return 0;
}

} // namespace ostrel::cli
