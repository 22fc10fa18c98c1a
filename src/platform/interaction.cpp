#include "platform/interaction.h"

#include <QStringList>

namespace ostrel {

QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + QLatin1String(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
    if (out.isEmpty())
        return filter;
    return out.join(QLatin1String(";;"));
}

} // namespace ostrel
