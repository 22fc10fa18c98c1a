#include "cli/cli_options.h"
#include "link/link_settings.h"

namespace ostrel::cli {

namespace {

const Option* find(const std::vector<Option>& options, const QString& name)
{
    for (const Option& o : options)
        if (name == o.name)
            return &o;
    return nullptr;
}

QString unexpected(const QString& argument) { return QStringLiteral("unexpected argument: ") + argument; }

} // namespace

QString readArguments(const QStringList& args, const std::vector<Option>& options, const TakeArgument& positional,
                      UnknownOptions unknown)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const Option* o = find(options, a);
        if (o && !o->flag && i + 1 >= args.size() && o->missingIsPositional)
            o = nullptr;
        QString error;
        if (o && o->flag)
            error = o->take(QString());
        else if (o && i + 1 < args.size())
            error = o->take(args[++i]);
        else if (o)
            error = o->missing.isNull() ? a + QStringLiteral(" needs a value") : o->missing;
        else if (unknown == UnknownOptions::Strict && a.startsWith(QLatin1String("--")))
            error = unexpected(a);
        else
            error = positional(a);
        if (!error.isEmpty())
            return error;
    }
    return QString();
}

TakeArgument singleInput(QString& input)
{
    return [&input](const QString& a) {
        if (!input.isEmpty())
            return unexpected(a);
        input = a;
        return QString();
    };
}

std::vector<Option> linkOptions(LinkOptions& link)
{
    auto target = [&link](QString& field) {
        return [&link, f = &field](const QString& v) {
            *f = v;
            ++link.targets;
            return QString();
        };
    };
    auto tcp = [&link](const QString& v) {
        const qsizetype colon = v.lastIndexOf(u':');
        bool ok = false;
        const uint port = colon > 0 ? v.mid(colon + 1).toUInt(&ok) : 0;
        if (!ok || port == 0 || port > 65535)
            return QStringLiteral("--tcp expects HOST:PORT");
        link.tcpHost = v.left(colon);
        link.tcpPort = quint16(port);
        ++link.targets;
        return QString();
    };
    auto controller = [&link](const QString& v) {
        bool ok = false;
        const int n = v.toInt(&ok);
        link.controller = n;
        if (!ok || n < 1 || n > LinkSettings::kControllers)
            return QStringLiteral("--controller expects 1..8");
        return QString();
    };
    return {
        {QLatin1StringView("--tcp"), tcp},
        {QLatin1StringView("--serial"), target(link.serialDevice)},
        {QLatin1StringView("--dump"), target(link.dumpFile)},
        {QLatin1StringView("--controller"), controller},
    };
}

} // namespace ostrel::cli
