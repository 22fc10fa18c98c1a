#include "scheme/netlist_reader.h"

#include <QFile>
#include <QIODevice>
#include <QStringDecoder>

namespace ostrel {

const QString& NetlistItems::at(int k) const
{
    static const QString empty;
    if (k < 1 || k >= int(items.size()))
        return empty;
    return items[size_t(k)];
}

namespace {

// One line without its line end, leading and trailing blanks.
QString lineToItem(const QByteArray& raw, QStringDecoder& decode)
{
    qsizetype b = 0, e = raw.size();
    while (e > b && (raw[e - 1] == '\n' || raw[e - 1] == '\r' || raw[e - 1] == ' ' || raw[e - 1] == '\t'))
        --e;
    while (b < e && (raw[b] == ' ' || raw[b] == '\t'))
        ++b;
    return decode(QByteArrayView(raw.constData() + b, e - b));
}

} // namespace

NetlistItems readNetlistItems(QIODevice& in)
{
    NetlistItems out;
    QStringDecoder decode("windows-1251");

    // Skip everything up to the item that opens the netlist.
    while (!in.atEnd()) {
        const QByteArray raw = in.readLine();
        if (raw.isEmpty() && !in.atEnd()) { // read failure
            out.readError = true;
            return out;
        }
        if (lineToItem(raw, decode).startsWith(QLatin1String("(netlist "))) {
            out.sawNetlistItem = true;
            break;
        }
    }
    if (!out.sawNetlistItem)
        return out;

    // Every following item is kept except the one that ends the file (the
    // netlist's closing parenthesis).
    while (!in.atEnd()) {
        const QByteArray raw = in.readLine();
        if (raw.isEmpty() && !in.atEnd()) {
            out.readError = true;
            break;
        }
        if (in.atEnd())
            break;
        if (out.count() >= NetlistItems::kMaxItems) {
            out.readError = true; // too many items: import the first kMaxItems
            break;
        }
        out.items.push_back(lineToItem(raw, decode));
    }
    return out;
}

bool readNetlistFile(const QString& path, NetlistItems& out)
{
    out = NetlistItems{};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    out = readNetlistItems(f);
    return true;
}

} // namespace ostrel
