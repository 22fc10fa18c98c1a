#include "scheme/netlist_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include "platform/text_encoding.h"

namespace ostrel {

const QString& NetlistItems::at(int k) const
{
    static const QString empty;
    if (k < 1 || k >= int(items.size()))
        return empty;
    return items[size_t(k)];
}

namespace {

// Nothing a netlist may hold comes near this; a larger input (a device that
// never ends, say) is cut here and flagged as a read error.
constexpr qint64 kMaxNetlistBytes = 32LL * 1024 * 1024;

// One line without its line end, leading and trailing blanks.
QString lineToItem(QStringView line)
{
    qsizetype b = 0, e = line.size();
    while (e > b && (line[e - 1] == u'\n' || line[e - 1] == u'\r' || line[e - 1] == u' ' || line[e - 1] == u'\t'))
        --e;
    while (b < e && (line[b] == u' ' || line[b] == u'\t'))
        ++b;
    return line.sliced(b, e - b).toString();
}

// Reads the device to its end (at most kMaxNetlistBytes); false on a read
// failure or when the limit cut it, with what was read in `bytes`.
bool readAllBytes(QIODevice& in, QByteArray& bytes)
{
    char buf[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buf, sizeof buf);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (bytes.size() + n > kMaxNetlistBytes)
            return false;
        bytes.append(buf, n);
    }
}

} // namespace

NetlistItems readNetlistItems(QIODevice& in)
{
    NetlistItems out;
    QByteArray bytes;
    out.readError = !readAllBytes(in, bytes);
    const QString text = decodeInputText(bytes, &out.encoding);

    // The lines of the file, each with its end; the last one is the line that
    // reaches the end of the file.
    QList<QStringView> lines;
    for (qsizetype pos = 0; pos < text.size();) {
        qsizetype end = text.indexOf(u'\n', pos);
        end = end < 0 ? text.size() : end + 1;
        lines.append(QStringView(text).sliced(pos, end - pos));
        pos = end;
    }

    // Skip everything up to the item that opens the netlist.
    qsizetype i = 0;
    for (; i < lines.size(); ++i) {
        if (lineToItem(lines[i]).startsWith(QLatin1String("(netlist "))) {
            out.sawNetlistItem = true;
            ++i;
            break;
        }
    }
    if (!out.sawNetlistItem)
        return out;

    // Every following item is kept except the one that ends the file (the
    // netlist's closing parenthesis).
    for (; i + 1 < lines.size(); ++i) {
        if (out.count() >= NetlistItems::kMaxItems) {
            out.readError = true; // too many items: import the first kMaxItems
            break;
        }
        out.items.push_back(lineToItem(lines[i]));
    }
    return out;
}

bool readNetlistFile(const QString& path, NetlistItems& out)
{
    out = NetlistItems{};
    // Only a regular file: opening a FIFO would wait for a writer, and a
    // device such as /dev/zero never ends.
    if (!QFileInfo(path).isFile())
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    out = readNetlistItems(f);
    return true;
}

} // namespace ostrel
