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
            ui_.message(U8("Ошибка netLIST!!! Выход блока №") + source_);
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
    std::array<int, 100> attr_line_{};
    std::array<bool, BlockTable::kBlocks> from_netlist_{}; // typed by a component, not only forced
    int value_column_ = 0; // 0 = no attribute located yet
    QString source_;       // source block of the net being processed (for messages)

    [[noreturn]] static void fail() { throw ImportFailure{}; }

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
                if (cur >= int(instances_.size()))
                    fail();
                instances_[size_t(cur)].designator = mid(it, 12, 3);
            } else if (begins(it, "(originalName") && mid(it, 16, 3) != QLatin1String("INV")) {
                if (cur >= int(instances_.size()))
                    fail();
                const QString& inst = item(k - 2);
                // A block number above 99 would be folded onto another block.
                const QString des = designatorOf(inst);
                if (des.startsWith(QLatin1Char('U')) && (ival(QStringView(des).mid(1)) > 99))
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
                    if (v < 0 || v >= int(attr_line_.size()))
                        fail();
                    attr_line_[size_t(v)] = k + 1;
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
            const int t = inst.code.isEmpty() ? 0 : cat_.typeForCode(inst.code);
            if (t == 0)
                continue;
            const int v = ival(mid(inst.designator, 2, 2));
            if (v < 0 || v >= BlockTable::kBlocks)
                fail();
            bt_.block_type[size_t(v)] = int16_t(t);
            from_netlist_[size_t(v)] = true;
        }
        bt_.block_type[BlockTable::kScadaBlock] = 43;
        bt_.block_type[BlockTable::kGraphBlock] = 41;
        bt_.block_type[BlockTable::kJournalBlock] = 42;
    }

    // ---- attribute access -------------------------------------------------

    // Finds the attribute item `pos` of block m and its value column.
    const QString& locate(int m, int pos)
    {
        const int k = attr_line_[size_t(m)] + pos;
        if (k < 2 || k > NetlistItems::kMaxItems + 1) {
            ui_.message(U8("Ошибка параметра!!!Блок U") + QString::number(m), QString(), MessageIcon::Error);
            fail(); // the read of a missing item cannot succeed
        }
        const QString& it = item(k);
        int quotes = 0;
        for (int col = 5; col <= 32 && col <= it.size(); ++col) {
            if (it[col - 1] == QLatin1Char('"') && ++quotes == 3) {
                value_column_ = col + 1;
                break;
            }
        }
        if (value_column_ < 1)
            fail();
        return it;
    }

    QString raw(int m, int pos, int len)
    {
        const QString& it = locate(m, pos);
        return mid(it, value_column_, len);
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

    void numTo(int m, int pos, int offset) { setP(m, offset, num(m, pos)); }

    // A text attribute: everything before the closing quote within 42
    // characters; nothing is stored when there is no quote.
    void textTo(int m, int type, int pos, int offset)
    {
        const QString s = raw(m, pos, 42);
        const qsizetype q = s.indexOf(QLatin1Char('"'));
        if (q < 0)
            return;
        QString text = s.left(q);
        if ((type == 25 || type == 29 || type == 48) && q + 1 > 18)
            text.truncate(15);
        setT(m, offset, text);
    }

    // Index of `name` in `names`, or -1.
    static int nameIndex(const QString& name, std::initializer_list<const char*> names)
    {
        int i = 0;
        for (const char* n : names) {
            if (name == QLatin1String(n))
                return i;
            ++i;
        }
        return -1;
    }

    // ---- step 4 -------------------------------------------------------------

    void importParameters()
    {
        int P = 0, T = 0;
        int32_t textBytes = 0;
        for (int m = 1; m <= 99; ++m) {
            const int t = bt_.block_type[size_t(m)];
            if (t == 0)
                continue;
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
            if (from_netlist_[size_t(m)])
                importBlock(m, t, result_.component[size_t(m)]);
        }
    }

    void importBlock(int m, int t, const QString& name)
    {
        switch (t) {
        case 1: { // A_I
            setP(m, 0, num(m, 0, 3) - 1);
            const QStringList& sensors = BlockCatalog::sensorTypes();
            for (int c = 0; c < 4; ++c) {
                const int base = 1 + 7 * c;
                QString s = raw(m, base, 4);
                if (s.size() == 4 && s[3] == QLatin1Char('"'))
                    s[3] = QLatin1Char(' ');
                for (int i = 0; i <= 14; ++i) {
                    if (s == sensors[i].left(4)) {
                        setP(m, 1 + c, i);
                        break;
                    }
                }
                static constexpr int offs[6] = {5, 9, 13, 17, 21, 25};
                for (int a = 0; a < 6; ++a)
                    numTo(m, base + 1 + a, offs[a] + c);
            }
            break;
        }
        case 2: // A_O
            setP(m, 0, num(m, 0) - 1);
            break;
        case 3: { // D_I
            setP(m, 0, num(m, 0) - 1);
            const bool encoder = name == QLatin1String("D_INPUT_ENCODER");
            for (int i = 1; i <= 8; ++i)
                setP(m, i, encoder && i >= 6 ? 1 : 0);
            break;
        }
        case 4: { // D_O
            setP(m, 0, num(m, 0) - 1);
            static const QStringList kinds{U8("Реле"), U8("Импу"), U8("Унив"), U8("Шаго")};
            for (int i = 1; i <= 8; ++i) {
                const QString s = raw(m, i, 42);
                int kind = -1;
                for (int j = 0; j < kinds.size() && kind < 0; ++j)
                    if (s.startsWith(kinds[j]))
                        kind = j;
                if (kind < 0 && s.section(QLatin1Char('"'), 0, 0) == QLatin1String("3"))
                    kind = 3;
                if (kind >= 0)
                    setP(m, i, kind);
            }
            break;
        }
        case 5: { // RS4
            setP(m, 0, num(m, 0) - 1);
            const int kind = nameIndex(name, {"RS485_CONTROL", "RS485_Ubrix_01", "RS485"});
            if (kind >= 0)
                setP(m, 1, kind);
            const double baud = num(m, 1, 4);
            static constexpr int bauds[5] = {9600, 1920, 3840, 5760, 1152};
            for (int i = 0; i < 5; ++i)
                if (baud == bauds[i])
                    setP(m, 2, i);
            break;
        }
        case 9:
        case 11:
        case 12:
            for (int i = 0; i < 4; ++i)
                numTo(m, i, i);
            break;
        case 10: { // SUM
            const int k = nameIndex(name, {"SUM2_4", "SUM2_3", "SUM8_1"});
            if (k < 0)
                break;
            setP(m, 9, k);
            numTo(m, 0, 8);
            for (int i = 1; i <= 8; ++i)
                numTo(m, i, i - 1);
            break;
        }
        case 17:
            nameToP0(m, nameIndex(name, {"AND2_4", "AND4_2", "AND8_1"}));
            break;
        case 18:
            nameToP0(m, nameIndex(name, {"OR_2_4", "OR_4_2", "OR_8_1"}));
            break;
        case 21: // REG
            setP(m, 0, raw(m, 0, 5) == U8("Фронт") ? 0 : 1);
            break;
        case 25: // S_P
            textTo(m, t, 0, 8);
            for (int k = 0; k < 8; ++k) {
                textTo(m, t, 2 * k + 1, k);
                numTo(m, 2 * k + 2, k);
            }
            break;
        case 26: { // PID
            const int k = nameIndex(name, {"PID_ANALOG1", "PID21_ANALOG", "PID_IMPULS", "PID_IMPULS1", "PID_RELAY"});
            if (k < 0)
                break;
            setP(m, 0, k);
            static constexpr int offs[11] = {4, 11, 1, 2, 3, 12, 13, 14, 7, 16, 17};
            for (int i = 0; i < 11; ++i)
                numTo(m, i, offs[i]);
            break;
        }
        case 27:
            nameToP0(m, nameIndex(name, {"MUX1_6", "MUX2_3", "MUXD1_8", "MUXD2_4"}));
            break;
        case 28: { // PRO
            const double v = num(m, 0, 1) - 1;
            setP(m, 136, (v >= 0 && v <= 3) ? v : 0);
            for (int s = 0; s < 32; ++s) {
                numTo(m, 1 + 4 * s, 4 + s);
                numTo(m, 2 + 4 * s, 36 + s);
                numTo(m, 3 + 4 * s, 68 + s);
                numTo(m, 4 + 4 * s, 100 + s);
            }
            break;
        }
        case 29: { // PAN
            static constexpr int kinds[5] = {0, 1, 2, 4, 5};
            const int k = nameIndex(name, {"PAN_OFF_ON", "PAN_OFF_ON2", "PAN_HAND_AUT", "PAN_INC_DEC", "PAN_INC_DEC_REG"});
            if (k >= 0)
                setP(m, 0, kinds[k]);
            for (int i = 0; i < 5; ++i)
                textTo(m, t, i, i);
            if (k == 3) {
                for (int i = 0; i < 4; ++i)
                    numTo(m, 5 + i, 10 + i);
            } else if (k == 4) {
                for (int i = 0; i < 4; ++i)
                    numTo(m, 5 + i, 2 + 2 * i);
                for (int i = 0; i < 4; ++i)
                    numTo(m, 9 + i, 10 + i);
            }
            break;
        }
        case 30:
            for (int i = 0; i < 6; ++i)
                numTo(m, i, i);
            break;
        case 31: // COD
            if (name == QLatin1String("CODE") || name == QLatin1String("CODE_SP")) {
                const double v = num(m, 0, 1) - 1;
                setP(m, 0, (v >= 0 && v <= 3) ? v : 0);
                for (int s = 0; s < 32; ++s) {
                    numTo(m, 1 + 3 * s, 4 + s);
                    numTo(m, 2 + 3 * s, 36 + s);
                    numTo(m, 3 + 3 * s, 68 + s);
                }
            } else if (name == QLatin1String("CODE_AUTOMAT_128")) {
                const double v = num(m, 0, 1) + 3;
                setP(m, 0, (v >= 4 && v <= 7) ? v : 4);
                std::array<double, 384> bit{};
                for (int b = 0; b < 384; ++b)
                    bit[size_t(b)] = std::nearbyint(num(m, 1 + b));
                for (int s = 0; s < 32; ++s) {
                    for (int out = 0; out < 3; ++out) {
                        double sum = 0, weight = 1;
                        for (int g = 0; g < 4; ++g, weight *= 4)
                            sum += bit[size_t(12 * s + 3 * g + out)] * weight;
                        setP(m, 4 + 32 * out + s, sum);
                    }
                }
            }
            break;
        case 33:
            nameToP0(m, nameIndex(name, {"MIN_MAX_MIN", "MIN_MAX_MAX"}));
            break;
        case 34:
            for (int i = 0; i < 4; ++i)
                numTo(m, i, i);
            break;
        case 35:
            for (int i = 0; i < 6; ++i)
                numTo(m, i, i);
            break;
        case 36: // TIM
            if (name == QLatin1String("TIMER_4")) {
                setP(m, 0, 0);
                for (int i = 0; i < 4; ++i)
                    numTo(m, i, 1 + i);
            } else if (name == QLatin1String("TIMER_2")) {
                setP(m, 0, 1);
                for (int i = 0; i < 2; ++i)
                    numTo(m, i, 1 + i);
            }
            break;
        case 37:
            for (int i = 0; i < 3; ++i)
                numTo(m, i, i);
            break;
        case 38: { // OSC
            const int k = nameIndex(name, {"OSC4_ONE", "OSC4_GEN", "OSC2_ONE", "OSC2_GEN"});
            if (k < 0)
                break;
            setP(m, 0, k);
            if (k == 0)
                for (int i = 0; i < 4; ++i)
                    numTo(m, i, 1 + 2 * i);
            else if (k == 1)
                for (int i = 0; i < 8; ++i)
                    numTo(m, i, 1 + i);
            else if (k == 2)
                for (int i = 0; i < 2; ++i)
                    numTo(m, i, 1 + 2 * i);
            else
                for (int i = 0; i < 4; ++i)
                    numTo(m, i, 1 + i);
            break;
        }
        case 41: // GRA
            setP(m, 0, num(m, 0, 3));
            textTo(m, t, 1, 33);
            for (int j = 0; j < 32; ++j) {
                numTo(m, 2 + 3 * j, 34 + j);
                numTo(m, 3 + 3 * j, 67 + j);
                textTo(m, t, 4 + 3 * j, 1 + j);
            }
            break;
        case 42: // JUR
            setP(m, 50, num(m, 0, 3));
            textTo(m, t, 1, 0);
            for (int j = 0; j < 32; ++j) {
                numTo(m, 2 + 3 * j, 10 + j);
                numTo(m, 3 + 3 * j, 51 + j); // j = 31 writes p82, past the journal's own parameters
                textTo(m, t, 4 + 3 * j, 1 + j);
            }
            break;
        case 44: // LOG
            for (int j = 0; j < 3; ++j) {
                setP(m, j, raw(m, 3 * j, 5).startsWith(QLatin1String("SP")) ? 0 : 1);
                numTo(m, 3 * j + 1, 3 + j);
                numTo(m, 3 * j + 2, 6 + j);
            }
            break;
        case 45: // ALG
            numTo(m, 0, 0);
            for (int i = 1; i < BlockTable::kAlgParams; ++i)
                setP(m, i, val(bt_.alg_param_saved[size_t(i)]));
            for (int i = 0; i < BlockTable::kAlgTexts; ++i)
                setT(m, i, bt_.alg_text_saved[size_t(i)]);
            break;
        case 46: { // UNI
            const int k = nameIndex(name, {"UNI_STEP_OFF_ON", "UNI_MENU", "UNI_IF_THEN", "UNI_IF_THEN_ELSE",
                                           "UNI_ZARIADKA_GA", "UNI_DEC_HEX", "UNI_REVERS", "UNI_SHIBER_KLAPAN", "UNI_RTC",
                                           "UNI_FILTER_4", "UNI_GRAPH_START_STOP"});
            if (k < 0)
                break;
            setP(m, 0, k);
            for (int i = 0; i < 8; ++i)
                numTo(m, i, 1 + i);
            break;
        }
        case 48: // REP
            for (int i = 0; i < 16; ++i)
                textTo(m, t, i, i);
            break;
        default:
            break;
        }
    }

    void nameToP0(int m, int k)
    {
        if (k >= 0)
            setP(m, 0, k);
    }

    // ---- step 5 -------------------------------------------------------------

    void algorithmDefaults()
    {
        for (int m = 1; m <= 96; ++m) {
            if (bt_.block_type[size_t(m)] != 45)
                continue;
            for (int s = 0; s < 128; ++s) {
                const int f = 41 * s;
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
                const int firstOut = (t == 0 || t == 43 || t == 48) ? 33 : cat_.firstOutPin(t);
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
                ui_.message(msg, QString(), MessageIcon::Error);
            if (isNode(k - 1) && isNode(k - 2))
                ui_.message(msg, QString(), MessageIcon::Error);
            if (isNode(k + 1) && isNode(k + 2))
                ui_.message(msg, QString(), MessageIcon::Error);
            if (!isNode(k + 1))
                continue; // drives nothing
            const QString& driven = item(k + 1);
            const int b = ival(midView(driven, 9, 2));
            const int i = pinOf(driven) - 1;
            if (b < 0 || b >= BlockTable::kBlocks)
                fail();
            const int u = bt_.block_type[size_t(b)];
            if (u == 42 || u == 48) {
                if (i < 0 || i >= 32)
                    fail();
                auto& mask = u == 42 ? bt_.journal_invert : bt_.report_invert;
                mask[size_t(i / 8)] |= uint8_t(1u << (i % 8));
                if (u == 48)
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
        if (type == 41 && block != BlockTable::kGraphBlock)
            text = "Номер блока ГРАФИК не равен 98";
        else if (type == 42 && block != BlockTable::kJournalBlock)
            text = "Номер блока ЖУРНАЛ не равен 99";
        else if (type == 43 && block != BlockTable::kScadaBlock)
            text = "Номер блока SCADA не равен 97";
        if (!text)
            return true;
        ui_.message(U8(text));
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
        static constexpr int scadaPins[8] = {33, 34, 67, 68, 101, 102, 135, 136};
        for (int i = 2; i <= count(); ++i) {
            const QString& it = item(i);
            if (!begins(it, "(node "))
                continue;
            if (isNet(i - 1)) {
                s = ival(midView(it, 9, 3));
                source_ = QString::number(s);
                if (s < 0 || s > 99)
                    fail();
                const int t = bt_.block_type[size_t(s)];
                const int p = pinOf(it);
                if (!numberOk(t, s))
                    return;
                if (t == 43) {
                    outIndex = p - 1;
                    for (int j = 0; j < 8; ++j)
                        if (scadaPins[j] == p)
                            outIndex = j;
                } else if ((t >= 1 && t <= 4) || t == 50) {
                    outIndex = p - 1;
                } else {
                    outIndex = cat_.outEndPin(t) - 1 - p;
                }
                if (outIndex < 0 || outIndex > 255)
                    fail();
            } else if (isNode(i - 1)) {
                if (letterOf(it) != QLatin1Char('U'))
                    continue; // only blocks take inputs
                if (ival(midView(it, 9, 3)) > 99)
                    fail();
                const int d = ival(midView(it, 9, 2));
                if (d < 0 || d >= BlockTable::kBlocks)
                    fail();
                const int u = bt_.block_type[size_t(d)];
                const int q = pinOf(it);
                if (!numberOk(u, d))
                    return;
                switch (u) {
                case 41:
                    putPair(bt_.graph_input_link, q - 1, outIndex, s);
                    break;
                case 42:
                    putPair(bt_.journal_input_link, q - 1, outIndex, s);
                    break;
                case 45:
                case 48: {
                    const int e = q >= 35 ? (q % 34) - 1 : q - 1;
                    putPair(bt_.special_link[u == 45 ? 2 : 0], e, outIndex, s);
                    break;
                }
                case 43:
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
    for (int m = 1; m <= 96; ++m) {
        const int t = bt.block_type[size_t(m)];
        if (t == 5) {
            const int n = catalog.textCount(5);
            for (int i = 0; i < n; ++i) {
                const int k = bt.text_base[size_t(m)] + i;
                if (k >= 0 && k < BlockTable::kTexts)
                    bt.TextStore[size_t(k)] = QStringLiteral("0");
            }
        } else if (t == 45) {
            for (int i = 0; i < BlockTable::kAlgTexts; ++i) {
                const int k = bt.text_base[size_t(m)] + i;
                if (k >= 0 && k < BlockTable::kTexts)
                    bt.TextStore[size_t(k)] = QStringLiteral("0");
            }
            for (int i = 1; i <= 128; ++i) {
                const int k = bt.param_base[size_t(m)] + i;
                if (k >= 0 && k < BlockTable::kParams)
                    bt.ParamStore[size_t(k)] = 0.0f;
            }
            for (int s = 0; s < 128; ++s) {
                const int base = bt.text_base[size_t(m)] + 41 * s;
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
