#pragma once
// Reading a P-CAD ASCII netlist (code page 1251, or UTF-8 when the bytes say
// so: see platform/text_encoding.h) as a list of items. An item is
// one line without its leading blanks; commas inside a line stay in the item.
// Only the items after the one that begins with "(netlist " are kept, the
// last item of the file (the netlist's closing ")") is not, and at most
// kMaxItems are kept.
#include "platform/text_encoding.h"
#include <QString>
#include <vector>

class QIODevice;

namespace ostrel {

struct NetlistItems {
    static constexpr int kMaxItems = 10000;
    // items[0] is unused so that item numbers are 1-based like the import's.
    std::vector<QString> items{QString()};
    bool sawNetlistItem = false; // an item beginning with "(netlist " was found
    bool readError = false;      // the file could not be read to its end (or held too many items)
    TextEncoding encoding = TextEncoding::Cp1251; // what the bytes were decoded as

    int count() const { return int(items.size()) - 1; }
    // Item k, or an empty item outside 1..count (the import scans one past the end).
    const QString& at(int k) const;
};

// Reads items from an open device. Never throws; stops cleanly on garbage.
NetlistItems readNetlistItems(QIODevice& in);
// Opens and reads a file; false (and empty items) when it cannot be opened
// or is not a regular file.
bool readNetlistFile(const QString& path, NetlistItems& out);

} // namespace ostrel
