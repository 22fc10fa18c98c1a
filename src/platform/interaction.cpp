#include "platform/interaction.h"

#include <QStringList>

namespace ostrel {

QString messageLine(const Message& m)
{
    const QString prefix = m.icon == MessageIcon::Warning ? QStringLiteral("warning: ") : QString();
    return prefix + (m.title.isEmpty() ? m.text : m.title + QStringLiteral(": ") + m.text);
}

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

QFont keepUntouchedFont(const QFont& initial, const QFont& shown, const QFont& chosen)
{
    QFont result = chosen;
    if (chosen.family() == shown.family())
        result.setFamily(initial.family());
    if (chosen.pointSize() == shown.pointSize())
        result.setPointSize(initial.pointSize());
    if (chosen.bold() == shown.bold())
        result.setBold(initial.bold());
    if (chosen.italic() == shown.italic())
        result.setItalic(initial.italic());
    return result;
}

} // namespace ostrel
