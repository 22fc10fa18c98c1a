#include "scheme/netlist_import.h"

#include "platform/interaction.h"
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"

#include <cmath>
#include <vector>

namespace ostrel {

namespace {

// Thrown inside the import when an index from the file points outside a table
// or a value does not fit its field; the import then reports and stops.
struct ImportFailure {};

QString U8(const char* s) { return QString::fromUtf8(s); }

// Step fields an algorithm step starts with: then_next, else_next, cond_a, cond_b.
struct StepDefault {
    int field;
    const char* value;
};
constexpr StepDefault kStepDefaults[4] = {{39, "128"}, {40, "128"}, {20, "1"}, {21, "0"}};

// Characters from 1-based column `col`, at most `len` of them ("" outside).
QString mid(const QString& s, int col, int len = -1)
{
    if (col < 1 || col > s.size())
        return QString();
    return len < 0 ? s.mid(col - 1) : s.mid(col - 1, len);
}

QString right(const QString& s, int n) { return s.right(n); }

// The leading decimal number of a text: blanks skipped, optional sign,
// "." or "," as the decimal point; no number gives 0.
double val(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t')))
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        neg = s[i] == QLatin1Char('-');
        ++i;
    }
    double v = 0;
    int digits = 0;
    while (i < s.size() && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9')) {
        if (digits < 18)
            v = v * 10 + (s[i].unicode() - '0');
        else
            v *= 10;
        ++digits;
        ++i;
        if (v > 1e30)
            v = 1e30;
    }
    if (i < s.size() && (s[i] == QLatin1Char('.') || s[i] == QLatin1Char(','))) {
        ++i;
        double scale = 0.1;
        while (i < s.size() && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9')) {
            v += (s[i].unicode() - '0') * scale;
            scale /= 10;
            ++i;
        }
    }
    return neg ? -v : v;
}

// val() as an integer, clamped so that later arithmetic cannot overflow.
int ival(QStringView s)
{
    const double v = std::trunc(val(s));
    if (v > 1e9)
        return 1000000000;
    if (v < -1e9)
        return -1000000000;
    return int(v);
}

bool begins(const QString& s, const char* prefix) { return s.startsWith(QLatin1String(prefix)); }

// The number in the last quoted field of a node item: the pin.
int pinOf(const QString& item)
{
    const qsizetype close = item.lastIndexOf(QLatin1Char('"'));
    if (close <= 0)
        return 0;
    const qsizetype open = item.lastIndexOf(QLatin1Char('"'), close - 1);
    if (open < 0)
        return 0;
    return ival(QStringView(item).mid(open + 1, close - open - 1));
}

// The designator of a node item: the text of its first quoted field.
QString designatorOf(const QString& item)
{
    const qsizetype open = item.indexOf(QLatin1Char('"'));
    if (open < 0)
        return QString();
    const qsizetype close = item.indexOf(QLatin1Char('"'), open + 1);
    return close < 0 ? item.mid(open + 1) : item.mid(open + 1, close - open - 1);
}

// The designator letter of a node item (column 8).
QChar letterOf(const QString& item) { return item.size() >= 8 ? item[7] : QChar(); }

// Like mid() without a copy, for numbers read in place.
QStringView midView(const QString& s, int col, int len)
{
    if (col < 1 || col > s.size())
        return QStringView();
    return QStringView(s).mid(col - 1, len);
}

class Importer {
public:
    Importer(BlockTable& blocks, const BlockCatalog& catalog, NetlistItems& items, Interaction& ui)
        : bt_(blocks), cat_(catalog), items_(items), ui_(ui)
    {
    }

    ImportResult run()
    {
        // A file that could not be read to its end, or with more items than
        // the table holds: its connections would be cut off somewhere, so
        // nothing is imported from it.
        if (items_.readError) {
            report(kNetlistReadError, MessageIcon::None);
            result_.completed = false;
            return result_;
        }
        try {
            readInstances();
            assignTypes();
            importParameters();
            algorithmDefaults();
            driverFirst();
            inverterFlags();
            removeInverters();
            connect();
        } catch (const ImportFailure&) {
            report(U8("Ошибка netLIST!!! Выход блока №") + source_, MessageIcon::None);
            result_.completed = false;
        }
        return result_;
    }

private:
    BlockTable& bt_;
    const BlockCatalog& cat_;
    NetlistItems& items_;
    Interaction& ui_;
    ImportResult result_;

    struct Instance {
        QString designator; // three characters from the compInst item
        QString code;
    };
    std::array<Instance, 100> instances_{};
    std::array<int, 100> attrLine_{};
    std::array<bool, BlockTable::kBlocks> fromNetlist_{}; // typed by a component, not only forced
    int valueColumn_ = 0; // 0 = no attribute located yet
    // The block a failure message names: the component being read in steps
    // 2..5, then the source block of the net being processed.
    QString source_;

    [[noreturn]] static void fail() { throw ImportFailure{}; }

    void report(const QString& text, MessageIcon icon)
    {
        result_.errorShown = true;
        ui_.message(text, QString(), icon);
    }

    int count() const { return items_.count(); }
    const QString& item(int k) const { return items_.at(k); }
    void setItem(int k, const QString& s)
    {
        if (k >= 1 && k <= count())
            items_.items[size_t(k)] = s;
    }
    void swapItems(int a, int b)
    {
        if (a < 1 || b < 1 || a > count() || b > count())
            fail();
        std::swap(items_.items[size_t(a)], items_.items[size_t(b)]);
    }
    bool isNode(int k) const { return begins(item(k), "(node "); }
    bool isNet(int k) const { return begins(item(k), "(net "); }

    // Keeps the message source up to date while a step walks the nets.
    void trackSource(int k)
    {
        if (isNode(k) && isNet(k - 1))
            source_ = QString::number(ival(midView(item(k), 9, 3)));
    }

    // Step 2: instance records, component names and first attribute items.
    void readInstances()
    {
        int cur = 0;
        for (int k = 1; k <= count(); ++k) {
            const QString& it = item(k);
            if (begins(it, "(compInst")) {
                source_ = QString::number(ival(QStringView(designatorOf(it)).mid(1)));
                if (cur >= int(instances_.size()))
                    fail();
                instances_[size_t(cur)].designator = mid(it, 12, 3);
            } else if (begins(it, "(originalName") && mid(it, 16, 3) != QLatin1String("INV")) {
                if (cur >= int(instances_.size()))
                    fail();
                const QString& inst = item(k - 2);
                // A block number above 99 would be folded onto another block.
                const QString des = designatorOf(inst);
                if (des.startsWith(QLatin1Char('U')) && (ival(QStringView(des).mid(1)) > BlockTable::kLastBlock))
                    fail();
                instances_[size_t(cur)].code = mid(it, 16, 3);
                const int n = ival(midView(inst, 13, 2));
                if (n < 0 || n >= int(result_.component.size()))
                    fail();
                result_.component[size_t(n)] = mid(it, 16, int(it.size()) - 17);
                ++cur;
                if (begins(item(k + 1), "(attr") && mid(it, 16, 5) != QLatin1String("TOUCH")) {
                    int v = ival(right(inst, 3));
                    if (v == 0)
                        v = ival(right(inst, 2));
                    if (v < 0 || v >= int(attrLine_.size()))
                        fail();
                    attrLine_[size_t(v)] = k + 1;
                }
            }
        }
    }

    // Step 3: block types from the instance codes; the fixed blocks 97..99.
    void assignTypes()
    {
        bt_.block_type.fill(0);
        bt_.param_base.fill(0);
        bt_.text_base.fill(0);
        bt_.clearWiring();
        bt_.param_bytes = 0;
        bt_.text_bytes = 0;

        for (int r = 0; r < 99; ++r) {
            const Instance& inst = instances_[size_t(r)];
            const int t = inst.code.isEmpty() ? int(kNoBlockType) : cat_.typeForCode(inst.code);
            if (t == kNoBlockType)
                continue;
            const int v = ival(mid(inst.designator, 2, 2));
            if (v < 0 || v >= BlockTable::kBlocks)
                fail();
            bt_.block_type[size_t(v)] = int16_t(t);
            if (!fromNetlist_[size_t(v)])
                ++result_.blocks;
            fromNetlist_[size_t(v)] = true;
        }
        bt_.setFixedBlockTypes();
    }

    // ---- attribute access -------------------------------------------------

    // Finds the attribute item `pos` of block m and its value column.
    const QString& locate(int m, int pos)
    {
        const int k = attrLine_[size_t(m)] + pos;
        if (k < 2 || k > NetlistItems::kMaxItems + 1) {
            report(U8("Ошибка параметра!!!Блок U") + QString::number(m), MessageIcon::Error);
            fail(); // the read of a missing item cannot succeed
        }
        const QString& it = item(k);
        int quotes = 0;
        for (int col = 5; col <= 32 && col <= it.size(); ++col) {
            if (it[col - 1] == QLatin1Char('"') && ++quotes == 3) {
                valueColumn_ = col + 1;
                break;
            }
        }
        if (valueColumn_ < 1)
            fail();
        return it;
    }

    QString raw(int m, int pos, int len)
    {
        const QString& it = locate(m, pos);
        return mid(it, valueColumn_, len);
    }

    double num(int m, int pos, int len = 7) { return val(raw(m, pos, len)); }

    void setP(int m, int offset, double v)
    {
        const int i = bt_.param_base[size_t(m)] + offset;
        if (i < 0 || i >= BlockTable::kParams)
            fail();
        bt_.ParamStore[size_t(i)] = float(v);
    }
    float getP(int m, int offset) const
    {
        const int i = bt_.param_base[size_t(m)] + offset;
        return (i >= 0 && i < BlockTable::kParams) ? bt_.ParamStore[size_t(i)] : 0.0f;
    }
    void setT(int m, int offset, const QString& s)
    {
        const int i = bt_.text_base[size_t(m)] + offset;
        if (i < 0 || i >= BlockTable::kTexts)
            fail();
        bt_.TextStore[size_t(i)] = s;
    }
    QString* textAt(int m, int offset)
    {
        const int i = bt_.text_base[size_t(m)] + offset;
        if (i < 0 || i >= BlockTable::kTexts)
            fail();
        return &bt_.TextStore[size_t(i)];
    }

    // A text attribute: everything before the closing quote within 42
    // characters; nothing is stored when there is no quote.
    void textTo(int m, int pos, int offset, bool shortTexts)
    {
        const QString s = raw(m, pos, 42);
        const qsizetype q = s.indexOf(QLatin1Char('"'));
        if (q < 0)
            return;
        QString text = s.left(q);
        if (shortTexts && q + 1 > 18)
            text.truncate(15);
        setT(m, offset, text);
    }

    // ---- step 4 -------------------------------------------------------------

    void importParameters()
    {
        int P = 0, T = 0;
        int32_t textBytes = 0;
        for (int m = 1; m <= BlockTable::kLastBlock; ++m) {
            const int t = bt_.block_type[size_t(m)];
            if (t == kNoBlockType)
                continue;
            source_ = QString::number(m);
            // A block whose parameters or texts would leave the stores cannot
            // be placed.
            if (P + cat_.paramCount(t) > BlockTable::kParams || T + cat_.textCount(t) > BlockTable::kTexts)
                fail();
            bt_.param_base[size_t(m)] = int16_t(P);
            bt_.text_base[size_t(m)] = int16_t(T);
            P += cat_.paramCount(t);
            T += cat_.textCount(t);
            textBytes += cat_.textCount(t) * cat_.textWidth(t);
            bt_.param_bytes = 4 * P;
            bt_.text_bytes = textBytes;
            // The fixed blocks 97..99 are typed even without a component; with
            // no component there are no attributes to read.
            if (fromNetlist_[size_t(m)])
                importBlock(m, cat_.info(t).attributes, result_.component[size_t(m)]);
        }
    }

    // Reads the block's attributes as its type's description says, run by
    // run and record by record, in the order the attributes are listed.
    void importBlock(int m, const AttributeMap& map, const QString& name)
    {
        constexpr int kNoForm = -2; // the component is none of the listed forms
        int form = kNoForm;
        for (const ComponentForm& f : map.forms) {
            if (name == QLatin1String(f.component)) {
                form = f.form;
                break;
            }
        }
        if (form == kNoForm && map.formRequired)
            return;
        for (const AttrRun& run : map.runs) {
            if (run.form != AttrRun::kAnyForm && run.form != form)
                continue;
            const int width = run.fieldCount();
            for (int r = 0; r < run.records; ++r)
                for (int f = 0; f < width; ++f)
                    readField(m, map, run.fields[f].read, run.attr + width * r + f,
                              run.fields[f].index + run.step * r, form);
        }
    }

    void readField(int m, const AttributeMap& map, AttrRead read, int pos, int index, int form)
    {
        switch (read) {
        case AttrRead::None: break;
        case AttrRead::Number: setP(m, index, num(m, pos)); break;
        case AttrRead::Number3: setP(m, index, num(m, pos, 3)); break;
        case AttrRead::NetNumber: setP(m, index, num(m, pos) - 1); break;
        case AttrRead::NetNumber3: setP(m, index, num(m, pos, 3) - 1); break;
        case AttrRead::Text: textTo(m, pos, index, map.shortTexts); break;
        case AttrRead::Form:
            if (form >= 0)
                setP(m, index, form);
            break;
        case AttrRead::Zero: setP(m, index, 0); break;
        case AttrRead::One: setP(m, index, 1); break;
        case AttrRead::Sensor: readSensor(m, pos, index); break;
        case AttrRead::OutputKind: readOutputKind(m, pos, index); break;
        case AttrRead::Baud: readBaud(m, pos, index); break;
        case AttrRead::Edge: setP(m, index, raw(m, pos, 5) == U8("Фронт") ? 0 : 1); break;
        case AttrRead::SetpointOrTimer: setP(m, index, raw(m, pos, 5).startsWith(QLatin1String("SP")) ? 0 : 1); break;
        case AttrRead::Program: {
            const double v = num(m, pos, 1) - 1;
            setP(m, index, (v >= 0 && v <= 3) ? v : 0);
            break;
        }
        case AttrRead::AutomatProgram: {
            const double v = num(m, pos, 1) + 3;
            setP(m, index, (v >= 4 && v <= 7) ? v : 4);
            break;
        }
        case AttrRead::AutomatSteps: readAutomatSteps(m, pos, index); break;
        case AttrRead::SavedAlgorithm: copySavedAlgorithm(m); break;
        }
    }

    // An input type: the first four characters (a closing quote read as a
    // blank) against the sensor names; no match stores nothing.
    void readSensor(int m, int pos, int index)
    {
        QString s = raw(m, pos, 4);
        if (s.size() == 4 && s[3] == QLatin1Char('"'))
            s[3] = QLatin1Char(' ');
        const QStringList& sensors = BlockCatalog::sensorTypes();
        for (int i = 0; i <= 14; ++i) {
            if (s == sensors[i].left(4)) {
                setP(m, index, i);
                return;
            }
        }
    }

    // An output kind by the beginning of its name, or "3" for the stepper.
    void readOutputKind(int m, int pos, int index)
    {
        static constexpr const char* kinds[4] = {"Реле", "Импу", "Унив", "Шаго"};
        const QString s = raw(m, pos, 42);
        int kind = -1;
        for (int j = 0; j < 4 && kind < 0; ++j)
            if (s.startsWith(U8(kinds[j])))
                kind = j;
        if (kind < 0 && s.section(QLatin1Char('"'), 0, 0) == QLatin1String("3"))
            kind = 3;
        if (kind >= 0)
            setP(m, index, kind);
    }

    // A baud rate from its first four digits; an unknown rate stores nothing.
    void readBaud(int m, int pos, int index)
    {
        static constexpr int bauds[5] = {9600, 1920, 3840, 5760, 1152};
        const double baud = num(m, pos, 4);
        for (int i = 0; i < 5; ++i)
            if (baud == bauds[i])
                setP(m, index, i);
    }

    // 384 bits, three outputs of four groups for each of 32 steps: every
    // step's output gets the four groups as base-4 digits.
    void readAutomatSteps(int m, int pos, int index)
    {
        std::array<double, 384> bit{};
        for (int b = 0; b < 384; ++b)
            bit[size_t(b)] = std::nearbyint(num(m, pos + b));
        for (int s = 0; s < 32; ++s) {
            for (int out = 0; out < 3; ++out) {
                double sum = 0, weight = 1;
                for (int g = 0; g < 4; ++g, weight *= 4)
                    sum += bit[size_t(12 * s + 3 * g + out)] * weight;
                setP(m, index + 32 * out + s, sum);
            }
        }
    }

    // The algorithm program kept from the last project file: setpoints 1..128
    // and every step text.
    void copySavedAlgorithm(int m)
    {
        for (int i = 1; i < BlockTable::kAlgParams; ++i)
            setP(m, i, val(bt_.alg_param_saved[size_t(i)]));
        for (int i = 0; i < BlockTable::kAlgTexts; ++i)
            setT(m, i, bt_.alg_text_saved[size_t(i)]);
    }

    // ---- step 5 -------------------------------------------------------------

    void algorithmDefaults()
    {
        for (int m = 1; m < BlockTable::kScadaBlock; ++m) { // not the fixed blocks
            if (bt_.block_type[size_t(m)] != kAlgorithm)
                continue;
            source_ = QString::number(m);
            for (int s = 0; s < BlockTable::kAlgSteps; ++s) {
                const int f = BlockTable::kAlgFields * s;
                for (const StepDefault& d : kStepDefaults) {
                    QString* text = textAt(m, f + d.field);
                    if (text->isEmpty())
                        *text = QLatin1String(d.value);
                }
            }
        }
    }

    // ---- step 6: the driving node of every net moves to its head ------------

    void driverFirst()
    {
        source_.clear();
        int r = 0; // input nodes seen since the last output in this net
        for (int k = 2; k <= count(); ++k) {
            trackSource(k);
            const QString& it = item(k);
            if (isNet(k)) {
                r = 0;
                continue;
            }
            if (!begins(it, "(node "))
                continue;
            const QChar letter = letterOf(it);
            const int pin = pinOf(it);
            if (letter == QLatin1Char('U') || (letter == QLatin1Char('D') && pin == 1)) {
                const int b = ival(midView(it, 9, 3));
                const int t = (b >= 0 && b < 100) ? bt_.block_type[size_t(b)] : 0;
                // Pins from 33 on drive the net for an empty number and the
                // SCADA-page and report blocks.
                const int firstOut = (t == kNoBlockType || t == kScadaPage || t == kReport) ? 33 : cat_.firstOutPin(t);
                if (pin < firstOut || letter == QLatin1Char('D')) {
                    ++r;
                } else {
                    if (r > 0)
                        swapItems(k, k - r);
                    r = 0;
                }
            } else {
                r = 0;
                // An inverter output listed last goes one up (never above its net's header).
                if (pin == 2 && item(k + 1) == QLatin1String(")") && isNode(k - 1))
                    swapItems(k, k - 1);
            }
        }
    }

    // ---- step 7: inverter checks and inversion flags ------------------------

    void inverterFlags()
    {
        source_.clear();
        for (int k = 1; k <= count(); ++k) {
            trackSource(k);
            const QString& it = item(k);
            if (!begins(it, "(node") || letterOf(it) != QLatin1Char('D') || pinOf(it) != 2)
                continue;
            const QString msg = U8("Ошибка подключения выхода инвертора ") + mid(it, 8, 4);
            if (isNode(k - 1) && isNode(k + 1))
                report(msg, MessageIcon::Error);
            if (isNode(k - 1) && isNode(k - 2))
                report(msg, MessageIcon::Error);
            if (isNode(k + 1) && isNode(k + 2))
                report(msg, MessageIcon::Error);
            if (!isNode(k + 1))
                continue; // drives nothing
            const QString& driven = item(k + 1);
            const int b = ival(midView(driven, 9, 2));
            const int i = pinOf(driven) - 1;
            if (b < 0 || b >= BlockTable::kBlocks)
                fail();
            const int u = bt_.block_type[size_t(b)];
            if (u == kJournal || u == kReport) {
                if (i < 0 || i >= 32)
                    fail();
                auto& mask = u == kJournal ? bt_.journal_invert : bt_.report_invert;
                mask[size_t(i / 8)] |= uint8_t(1u << (i % 8));
                if (u == kReport)
                    bt_.special_link[1][size_t(i / 8)] = mask[size_t(i / 8)];
            } else {
                if (i < 0 || i >= 8)
                    fail();
                bt_.invert_mask[size_t(b)] |= uint8_t(1u << i);
            }
        }
    }

    // ---- step 8: the driven input takes the inverter's place ----------------

    void removeInverters()
    {
        const QString inverter = QStringLiteral("INVERTOR");
        // Inverter nodes can only ever stand where a "D" node stood before this
        // step (a replacement copies a node into such a place), so the search
        // for an inverter's input visits those places only.
        std::vector<int> dNodes;
        for (int j = 2; j <= count(); ++j)
            if (isNode(j) && letterOf(item(j)) == QLatin1Char('D'))
                dNodes.push_back(j);
        for (int l = 1; l <= count(); ++l) {
            const QString& it = item(l);
            if (!begins(it, "(node ") || letterOf(it) != QLatin1Char('D') || pinOf(it) != 2 || isNode(l - 1))
                continue;
            const QString des = designatorOf(it);
            if (!isNode(l + 1)) { // an inverter that drives nothing
                setItem(l, inverter);
                continue;
            }
            const QString driven = item(l + 1);
            setItem(l, inverter);
            setItem(l + 1, inverter);
            for (int j : dNodes)
                if (isNode(j) && designatorOf(item(j)) == des && isNode(j - 1))
                    setItem(j, driven);
        }
    }

    // ---- step 9: connections ------------------------------------------------

    // false (after the message) when a fixed block sits under the wrong number.
    bool numberOk(int type, int block)
    {
        const char* text = nullptr;
        if (type == kGraph && block != BlockTable::kGraphBlock)
            text = "Номер блока ГРАФИК не равен 98";
        else if (type == kJournal && block != BlockTable::kJournalBlock)
            text = "Номер блока ЖУРНАЛ не равен 99";
        else if (type == kScadaPage && block != BlockTable::kScadaBlock)
            text = "Номер блока SCADA не равен 97";
        if (!text)
            return true;
        report(U8(text), MessageIcon::None);
        return false;
    }

    static void putPair(std::array<uint8_t, 66>& row, int e, int outIndex, int src)
    {
        if (e < 0 || 2 * e + 1 >= int(row.size()))
            throw ImportFailure{};
        row[size_t(2 * e)] = uint8_t(outIndex);
        row[size_t(2 * e + 1)] = uint8_t(src);
    }

    void connect()
    {
        for (auto& row : bt_.InputLink)
            row.fill(0);
        source_.clear();
        int s = 0, outIndex = 0;
        // The SCADA-page block's outputs sit on the pins its output labels name.
        const std::vector<uint8_t>& scadaPins = cat_.info(kScadaPage).output_labels;
        for (int i = 2; i <= count(); ++i) {
            const QString& it = item(i);
            if (!begins(it, "(node "))
                continue;
            if (isNet(i - 1)) {
                s = ival(midView(it, 9, 3));
                source_ = QString::number(s);
                if (s < 0 || s > BlockTable::kLastBlock)
                    fail();
                const int t = bt_.block_type[size_t(s)];
                const int p = pinOf(it);
                if (!numberOk(t, s))
                    return;
                if (t == kScadaPage) {
                    outIndex = p - 1;
                    for (int j = 0; j < int(scadaPins.size()); ++j)
                        if (scadaPins[size_t(j)] == p)
                            outIndex = j;
                } else if ((t >= kAnalogInput && t <= kDiscreteOutput) || t == kTouch) {
                    outIndex = p - 1;
                } else {
                    outIndex = cat_.outEndPin(t) - 1 - p;
                }
                if (outIndex < 0 || outIndex > 255)
                    fail();
            } else if (isNode(i - 1)) {
                if (letterOf(it) != QLatin1Char('U'))
                    continue; // only blocks take inputs
                if (ival(midView(it, 9, 3)) > BlockTable::kLastBlock)
                    fail();
                const int d = ival(midView(it, 9, 2));
                if (d < 0 || d >= BlockTable::kBlocks)
                    fail();
                const int u = bt_.block_type[size_t(d)];
                const int q = pinOf(it);
                if (!numberOk(u, d))
                    return;
                switch (u) {
                case kGraph:
                    putPair(bt_.graph_input_link, q - 1, outIndex, s);
                    break;
                case kJournal:
                    putPair(bt_.journal_input_link, q - 1, outIndex, s);
                    break;
                case kAlgorithm:
                case kReport: {
                    const int e = q >= 35 ? (q % 34) - 1 : q - 1;
                    putPair(bt_.special_link[u == kAlgorithm ? 2 : 0], e, outIndex, s);
                    break;
                }
                case kScadaPage:
                    break;
                default:
                    if (q < 1 || q > 8)
                        fail();
                    bt_.InputLink[size_t(d)][size_t(2 * (q - 1))] = uint8_t(outIndex);
                    bt_.InputLink[size_t(d)][size_t(2 * (q - 1) + 1)] = uint8_t(s);
                    break;
                }
            }
        }
    }
};

} // namespace

ImportResult importNetlist(BlockTable& blocks, const BlockCatalog& catalog, NetlistItems& items, Interaction& ui)
{
    Importer importer(blocks, catalog, items, ui);
    return importer.run();
}

bool importNetlistFile(BlockTable& blocks, const BlockCatalog& catalog, const QString& path, Interaction& ui,
                       ImportResult* result)
{
    NetlistItems items;
    if (!readNetlistFile(path, items))
        return false;
    ImportResult r = importNetlist(blocks, catalog, items, ui);
    if (result)
        *result = std::move(r);
    return true;
}

void resetNewProjectBlocks(BlockTable& bt, const BlockCatalog& catalog)
{
    for (int m = 1; m < BlockTable::kScadaBlock; ++m) { // not the fixed blocks
        const int t = bt.block_type[size_t(m)];
        if (t == kRs485) {
            const int n = catalog.textCount(kRs485);
            for (int i = 0; i < n; ++i) {
                const int k = bt.text_base[size_t(m)] + i;
                if (k >= 0 && k < BlockTable::kTexts)
                    bt.TextStore[size_t(k)] = QStringLiteral("0");
            }
        } else if (t == kAlgorithm) {
            for (int i = 0; i < BlockTable::kAlgTexts; ++i) {
                const int k = bt.text_base[size_t(m)] + i;
                if (k >= 0 && k < BlockTable::kTexts)
                    bt.TextStore[size_t(k)] = QStringLiteral("0");
            }
            for (int i = 1; i <= BlockTable::kAlgSetpoints; ++i) {
                const int k = bt.param_base[size_t(m)] + i;
                if (k >= 0 && k < BlockTable::kParams)
                    bt.ParamStore[size_t(k)] = 0.0f;
            }
            for (int s = 0; s < BlockTable::kAlgSteps; ++s) {
                const int base = bt.text_base[size_t(m)] + BlockTable::kAlgFields * s;
                for (const StepDefault& d : kStepDefaults) {
                    const int k = base + d.field;
                    if (k >= 0 && k < BlockTable::kTexts)
                        bt.TextStore[size_t(k)] = QLatin1String(d.value);
                }
            }
        }
    }
}

} // namespace ostrel
