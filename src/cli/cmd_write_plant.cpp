// write-plant: every controller of a plant file written in one run, over
// their own links side by side (the same link one after another), with the
// check first, a journal record per part, the summary table and a report.
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/plant_display.h"
#include "project/plant_file.h"
#include "project/plant_write.h"
#include "project/project_check.h"
#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

namespace ostrel::cli {

namespace {

struct Options {
    QString plant;
    int jobs = 0;
    QString report;
    bool force = false;
    bool noJournal = false;
};

const char* kUsage =
    "usage: ostrel-cli write-plant PLANT.json [--jobs N] [--report FILE.json] [--force] [--no-journal]";

bool parseOptions(const QStringList& args, Options& o, QString& error)
{
    std::vector<Option> options;
    options.push_back({.name = QLatin1StringView("--jobs"), .take = [&o](const QString& v) {
                           bool ok = false;
                           o.jobs = v.toInt(&ok);
                           return ok && o.jobs >= 1 && o.jobs <= 1000 ? QString()
                                                                      : QStringLiteral("--jobs expects 1..1000");
                       }});
    options.push_back({.name = QLatin1StringView("--report"), .take = [&o](const QString& v) {
                           o.report = v;
                           return QString();
                       }});
    options.push_back({.name = QLatin1StringView("--force"), .take = [&o](const QString&) {
                           o.force = true;
                           return QString();
                       }, .flag = true});
    options.push_back({.name = QLatin1StringView("--no-journal"), .take = [&o](const QString&) {
                           o.noJournal = true;
                           return QString();
                       }, .flag = true});
    error = readArguments(args, options, singleInput(o.plant));
    if (!error.isEmpty())
        return false;
    if (o.plant.isEmpty()) {
        error = QString::fromLatin1(kUsage);
        return false;
    }
    return true;
}

} // namespace

int runWritePlant(const QStringList& args)
{
    Options o;
    QString error;
    if (!parseOptions(args, o, error) || (!o.report.isEmpty() && !checkOutputFile(o.report, error))) {
        printError(error);
        return 2;
    }
    PlantFile plantFile;
    if (!readPlantFile(o.plant, plantFile, error)) {
        printError(error);
        return 2;
    }
    PlantWrite plant(plantFile, {.jobs = o.jobs, .force = o.force, .journal = !o.noJournal});
    QStringList errors;
    if (!plant.load(errors)) {
        for (const QString& line : errors)
            printError(line);
        printError(QStringLiteral("write-plant: nothing was written"));
        return 2;
    }
    // The check's findings, before anything is sent: errors keep the
    // controller from being written unless --force.
    for (int i = 0; i < plant.size(); ++i)
        for (const Problem& p : plant.progress(i).problems)
            if (p.isError())
                printError(plant.controller(i).name + QStringLiteral(": ") + p.line());

    PlantDisplay display(plant, isatty(STDOUT_FILENO) == 1);
    QObject::connect(&plant, &PlantWrite::finished, &plant, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    plant.start();
    QCoreApplication::exec();
    display.finish();

    for (int i = 0; i < plant.size(); ++i)
        for (const QString& m : plant.progress(i).messages)
            printError(plant.controller(i).name + QStringLiteral(": ") + m);
    const QString table = plantSummaryTable(plant);
    printJson(table.toLocal8Bit().chopped(1));
    int status = plant.allSucceeded() ? 0 : 1;
    if (!o.report.isEmpty()) {
        const QString failed = saveBytes(o.report, plantReportJson(plant));
        if (!failed.isEmpty()) {
            printError(failed);
            status = 1;
        }
    }
    return status;
}

} // namespace ostrel::cli
