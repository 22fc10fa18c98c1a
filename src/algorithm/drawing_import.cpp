#include "algorithm/drawing_import.h"

#include "algorithm/algorithm_data.h"
#include "algorithm/expression_checker.h"
#include "algorithm/step_program.h"
#include "platform/interaction.h"
#include "scheme/block_table.h"
#include "scheme/netlist_reader.h"

#include <QHash>

#include <array>
#include <vector>

namespace ostrel {

using namespace alg;

namespace {

constexpr int kMaxDrawingItems = 5000;
constexpr int kMaxNetNodes = 129;
constexpr int kLinkRows = 257;
constexpr int kMaxReadChars = 100;

// alg_link columns.
enum LinkCol { ThenStep = 1, ElseStep = 2, ThenBox = 3, ElseBox = 4, YTarget = 5, NTarget = 6, Called = 7 };

bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

int leadingNumber(const QString& t)
{
    int i = 0;
    while (i < t.size() && t.at(i) == QLatin1Char(' '))
        ++i;
    int v = 0;
    for (; i < t.size() && isDigit(t.at(i)); ++i)
        v = std::min(v * 10 + (t.at(i).unicode() - '0'), 100000);
    return v;
}

struct Node {
    int item = 0;    // item number
    QChar letter;
    int number = 0;
    int pin = 0;
};

// A node item: column 8 is the letter, columns 9..11 the number, the last
// three characters the pin.
bool parseNode(const QString& item, int index, Node& out)
{
    if (!item.startsWith(QLatin1String("(node ")) || item.size() < 8)
        return false;
    out.item = index;
    out.letter = item.at(7);
    out.number = leadingNumber(item.mid(8, 3));
    QString pinDigits;
    for (QChar c : item.right(3))
        if (isDigit(c))
            pinDigits += c;
    out.pin = leadingNumber(pinDigits);
    return true;
}

QString nodeRef(const Node& n) { return QString(n.letter) + QString::number(n.number); }

// Text from a 1-based column up to the next double quote, at most 100 characters.
QString quotedValue(const QString& item, int column)
{
    const QString rest = item.mid(column - 1, kMaxReadChars);
    const int q = int(rest.indexOf(QLatin1Char('"')));
    return q >= 0 ? rest.left(q) : rest;
}

// The numbers a list names ("1,3,5-8"); false when one is above 32.
bool parseList(const QString& text, std::array<bool, 33>& listed)
{
    listed.fill(false);
    int i = 0;
    const int len = int(text.size());
    auto readNumber = [&](int& v) {
        v = 0;
        bool any = false;
        while (i < len && isDigit(text.at(i))) {
            v = std::min(v * 10 + (text.at(i).unicode() - '0'), 1000);
            any = true;
            ++i;
        }
        return any;
    };
    while (i < len) {
        int first = 0;
        if (!readNumber(first)) {
            ++i; // separator
            continue;
        }
        int last = first;
        if (i < len && text.at(i) == QLatin1Char('-')) {
            ++i;
            readNumber(last);
        }
        if (first > 32 || last > 32)
            return false;
        for (int m = std::max(first, 1); m <= last; ++m)
            listed[m] = true;
    }
    return true;
}

class DrawingImport {
public:
    DrawingImport(BlockTable& blocks, AlgorithmData& alg, int block, const NetlistItems& items, Interaction& ui)
        : bt_(blocks), alg_(alg), block_(block), items_(items), ui_(ui), checker_(bt_, block, ui)
    {
    }

    DrawingImportOutcome run();

private:
    enum class ScanEnd { Finished, Stopped, Aborted };

    const QString& item(int k) const { return items_.at(k); }
    ScanEnd readNet(int k);
    ScanEnd readComponent(int k);
    void link();
    // The step whose node stands next to the node (letter, number, pin): the
    // item after it when that is a step node, otherwise the item before it.
    int adjacentStep(QChar letter, int number, int pin);
    static quint64 nodeKey(QChar letter, int number, int pin);
    bool applyList(int s, int base, int itemNo, int code);
    void attributesError(int k);
    void plainMessage(const QString& text) { ui_.message(text, QString(), MessageIcon::None); }

    BlockTable& bt_;
    AlgorithmData& alg_;
    int block_;
    const NetlistItems& items_;
    Interaction& ui_;
    ExpressionChecker checker_;
    std::array<std::array<int, 9>, kLinkRows> link_{};
    QHash<quint64, int> firstNode_;
    bool nodesIndexed_ = false;
};

quint64 DrawingImport::nodeKey(QChar letter, int number, int pin)
{
    return (quint64(letter.unicode()) << 40) | (quint64(quint32(number)) << 20) | quint64(quint32(pin) & 0xFFFFF);
}

int DrawingImport::adjacentStep(QChar letter, int number, int pin)
{
    if (!nodesIndexed_) {
        // First item of every node, built once: the lookups of C and R
        // boxes would otherwise scan the whole drawing each time.
        for (int k = 1; k <= items_.count(); ++k) {
            Node n;
            if (parseNode(item(k), k, n) && !firstNode_.contains(nodeKey(n.letter, n.number, n.pin)))
                firstNode_.insert(nodeKey(n.letter, n.number, n.pin), k);
        }
        nodesIndexed_ = true;
    }
    const auto it = firstNode_.constFind(nodeKey(letter, number, pin));
    if (it == firstNode_.constEnd())
        return 0;
    const int k = it.value();
    Node next;
    Node chosen;
    if (parseNode(item(k + 1), k + 1, next) && next.letter == QLatin1Char('A'))
        chosen = next;
    else if (!parseNode(item(k - 1), k - 1, chosen) || chosen.letter != QLatin1Char('A'))
        return 0;
    return chosen.number >= 1 && chosen.number <= kSteps ? chosen.number : 0;
}

DrawingImport::ScanEnd DrawingImport::readNet(int k)
{
    std::vector<Node> nodes;
    for (int j = k + 1; j <= items_.count() && int(nodes.size()) < kMaxNetNodes; ++j) {
        Node n;
        if (!parseNode(item(j), j, n))
            break; // ")" closes the net
        nodes.push_back(n);
    }

    // First pass: the net's pin-1 node is its source; only one may share a
    // net with other inputs unless an "S" junction stands between them.
    int inputs = 0;
    const Node* source = nullptr;
    const Node* previous = nullptr;
    for (const Node& n : nodes) {
        if (n.pin != 1)
            continue;
        if (n.letter == QLatin1Char('S')) {
            inputs = 0;
        } else if (++inputs >= 2) {
            plainMessage(QStringLiteral("Ошибка соединения входов ") + nodeRef(n) + QStringLiteral(" и ")
                         + (previous ? nodeRef(*previous) : QString()) + QLatin1Char(' ') + item(k));
            return ScanEnd::Stopped;
        }
        previous = &n;
        source = &n;
    }
    if (!source)
        return ScanEnd::Finished;

    QChar srcLetter = source->letter;
    int srcNumber = source->number;
    if (srcLetter == QLatin1Char('C')) {
        const int called = adjacentStep(QLatin1Char('C'), srcNumber, 2);
        if (called == 0)
            return ScanEnd::Finished; // a call marker leading to no step links nothing
        link_[called][Called] = 1;
        srcLetter = QLatin1Char('A');
        srcNumber = called;
    }
    const bool srcStep = srcLetter == QLatin1Char('A') && srcNumber >= 1 && srcNumber <= kSteps;
    const bool srcReturn = srcLetter == QLatin1Char('R');

    // Second pass: every output pin in the net leads to the source.
    for (const Node& n : nodes) {
        const int num = n.number;
        if (n.letter == QLatin1Char('A') && num >= 1 && num <= kSteps && (n.pin == 3 || n.pin == 2)) {
            const bool thenPin = n.pin == 3;
            const QChar box = thenPin ? QLatin1Char('Y') : QLatin1Char('N');
            if (srcStep)
                link_[num][thenPin ? ThenStep : ElseStep] = srcNumber;
            else if (srcLetter == box && srcNumber >= 1 && srcNumber < kLinkRows)
                link_[num][thenPin ? ThenBox : ElseBox] = srcNumber;
            else if (srcReturn)
                setStepField(bt_, block_, num - 1, thenPin ? then_next : else_next, kNextRet);
        } else if ((n.letter == QLatin1Char('Y') || n.letter == QLatin1Char('N')) && n.pin == 2
                   && num >= 1 && num < kLinkRows) {
            const bool yBox = n.letter == QLatin1Char('Y');
            if (srcReturn) {
                const int step = adjacentStep(n.letter, num, 1);
                if (step > 0)
                    setStepField(bt_, block_, step - 1, yBox ? then_next : else_next, kNextRet);
            } else if (srcStep) {
                link_[num][yBox ? YTarget : NTarget] = srcNumber;
            }
        }
    }
    return ScanEnd::Finished;
}

void DrawingImport::attributesError(int k)
{
    plainMessage(QStringLiteral("Ошибка -Attributes- блок ") + item(k).mid(11, 4));
}

bool DrawingImport::applyList(int s, int base, int itemNo, int code)
{
    std::array<bool, 33> listed{};
    if (!parseList(quotedValue(item(itemNo), base == then_outputs || base == else_outputs
                                                  ? (code == kCodeSet ? 32 : 34)
                                                  : (code == kCodeSet ? 32 : 30)),
                   listed))
        return false;
    for (int m = 1; m <= 32; ++m)
        if (listed[m])
            setPackedCode(bt_, block_, s - 1, base, m, code);
    return true;
}

DrawingImport::ScanEnd DrawingImport::readComponent(int k)
{
    const QString& header = item(k);
    const QChar letter = header.size() > 11 ? header.at(11) : QChar();
    const int number = leadingNumber(header.mid(12, 3));

    if (letter == QLatin1Char('A')) {
        if (number < 1 || number > kSteps) {
            attributesError(k);
            return ScanEnd::Aborted;
        }
        alg_.alg_comments[kCommentsPerStep * (number - 1)] = quotedValue(item(k + 3), 21);
        return checker_.ParseCondition(quotedValue(item(k + 4), 18), number) ? ScanEnd::Finished
                                                                             : ScanEnd::Stopped;
    }
    if (letter != QLatin1Char('Y') && letter != QLatin1Char('N'))
        return ScanEnd::Finished; // S, C, R and other components carry nothing to read

    const bool yBox = letter == QLatin1Char('Y');
    int step = 0;
    for (int n = 1; n <= kSteps && step == 0 && number >= 1; ++n)
        if (link_[n][yBox ? ThenBox : ElseBox] == number)
            step = n;
    if (step == 0) {
        attributesError(k);
        return ScanEnd::Aborted;
    }
    alg_.alg_comments[kCommentsPerStep * (step - 1) + (yBox ? 1 : 6)] = quotedValue(item(k + 3), 21);

    const int outputs = yBox ? then_outputs : else_outputs;
    const int flags = yBox ? then_flags : else_flags;
    if (!applyList(step, outputs, k + 4, kCodeSet) || !applyList(step, outputs, k + 5, kCodeReset)) {
        attributesError(k);
        return ScanEnd::Aborted;
    }

    // The action text ends at the quote three characters before the
    // attribute's own " (pt" / " (te" continuation.
    const QString rest = item(k + 6).mid(26, kMaxReadChars);
    const int pt = int(rest.indexOf(QLatin1String("pt")));
    const int te = int(rest.indexOf(QLatin1String("te")));
    const int end = pt < 0 ? te : (te < 0 ? pt : std::min(pt, te));
    if (end < 0) {
        plainMessage(QStringLiteral("Ошибка netlist!!!"));
        return ScanEnd::Aborted;
    }
    checker_.ParseAction(rest.left(std::max(0, end - 3)), yBox ? Branch::Then : Branch::Else, step,
                         ExpressionChecker::messageSuffix(header));

    if (!applyList(step, flags, k + 7, kCodeSet) || !applyList(step, flags, k + 8, kCodeReset)) {
        attributesError(k);
        return ScanEnd::Aborted;
    }
    return ScanEnd::Finished;
}

void DrawingImport::link()
{
    for (int n = 1; n <= kSteps; ++n) {
        for (const bool thenBranch : {true, false}) {
            const int nextField = thenBranch ? then_next : else_next;
            const int direct = link_[n][thenBranch ? ThenStep : ElseStep];
            const int box = link_[n][thenBranch ? ThenBox : ElseBox];
            int target = 0;
            if (direct)
                target = direct;
            else if (box)
                target = link_[box][thenBranch ? YTarget : NTarget]; // 0: the box leads nowhere
            if (direct || box) {
                if (target > 0 && stepField(bt_, block_, n - 1, nextField) != kNextRet)
                    setStepField(bt_, block_, n - 1, nextField, target - 1);
                alg_.call_flags[n - 1][thenBranch ? 0 : 1] = uint8_t(link_[target][Called]);
            }
            if (stepField(bt_, block_, n - 1, nextField) == 0)
                setStepField(bt_, block_, n - 1, nextField, kNextOut);

            // The controller marks a call in bit 7 of the action kind: a kind
            // of 128 or more cannot be a call.
            const int kind = stepField(bt_, block_, n - 1, thenBranch ? then_kind : else_kind);
            if (alg_.call_flags[n - 1][thenBranch ? 0 : 1] == 1 && kind > 127)
                ui_.message(QStringLiteral("Ошибка вызова: код действия больше 127  шаг A")
                                + QString::number(n),
                            QString(), MessageIcon::Error);
        }
    }
}

DrawingImportOutcome DrawingImport::run()
{
    if (!items_.sawNetlistItem || items_.readError || items_.count() > kMaxDrawingItems) {
        plainMessage(QStringLiteral("Ошибка считывания файла!!!"));
        return DrawingImportOutcome::ReadFailed;
    }

    // Kept so that an import that ends half-way leaves the previous program.
    const int tb = bt_.text_base[block_];
    const int pb = bt_.param_base[block_];
    std::vector<QString> savedFields(bt_.TextStore.begin() + tb, bt_.TextStore.begin() + tb + kProgramTexts);
    std::vector<float> savedSetpoints(bt_.ParamStore.begin() + pb + 1,
                                      bt_.ParamStore.begin() + pb + 1 + kSetpoints);
    const auto savedTexts = bt_.alg_text_saved;
    const auto savedComments = alg_.alg_comments;
    const auto savedFlags = alg_.call_flags;

    clearProgram(bt_, alg_, block_);

    ScanEnd end = ScanEnd::Finished;
    for (int k = items_.count(); k >= 1 && end == ScanEnd::Finished; --k) {
        const QString& it = item(k);
        if (it.startsWith(QLatin1String("(net ")))
            end = readNet(k);
        else if (it.startsWith(QLatin1String("(compInst")))
            end = readComponent(k);
    }

    if (end == ScanEnd::Aborted) {
        std::copy(savedFields.begin(), savedFields.end(), bt_.TextStore.begin() + tb);
        std::copy(savedSetpoints.begin(), savedSetpoints.end(), bt_.ParamStore.begin() + pb + 1);
        bt_.alg_text_saved = savedTexts;
        alg_.alg_comments = savedComments;
        alg_.call_flags = savedFlags;
        return DrawingImportOutcome::Aborted;
    }
    link();
    return DrawingImportOutcome::Completed;
}

} // namespace

DrawingImportOutcome importAlgorithmDrawingItems(BlockTable& blocks, AlgorithmData& alg, int block,
                                                 const NetlistItems& items, Interaction& ui)
{
    if (!isAlgorithmBlock(blocks, block))
        return DrawingImportOutcome::NotAlgorithmBlock;
    blocks.cur_block = uint8_t(block);
    blocks.cur_block_type = uint8_t(kBlockType);
    DrawingImport imp(blocks, alg, block, items, ui);
    return imp.run();
}

DrawingImportOutcome importAlgorithmDrawing(BlockTable& blocks, AlgorithmData& alg, int block, const QString& path,
                                            Interaction& ui)
{
    if (path.isEmpty())
        return DrawingImportOutcome::NoFile;
    if (!isAlgorithmBlock(blocks, block))
        return DrawingImportOutcome::NotAlgorithmBlock;
    NetlistItems items;
    if (!readNetlistFile(path, items)) {
        ui.message(QStringLiteral("Ошибка имя файла!!!"), QString(), MessageIcon::None);
        return DrawingImportOutcome::CannotOpen;
    }
    return importAlgorithmDrawingItems(blocks, alg, block, items, ui);
}

} // namespace ostrel
