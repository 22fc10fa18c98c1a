#include "scheme/block_catalog.h"
#include "scheme/block_table.h"
#include "scheme/modbus_channels.h"

namespace ostrel {

namespace {

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

QStringList numbered(int n, const char* prefix = "")
{
    QStringList out;
    out.reserve(n);
    for (int i = 1; i <= n; ++i)
        out << S(prefix) + QString::number(i);
    return out;
}

QStringList list(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* i : items)
        out << S(i);
    return out;
}

// ---- what each editor row edits ----------------------------------------------

constexpr RowSlot param(int k) { return {SlotKind::Param, int16_t(k)}; }
constexpr RowSlot text(int k) { return {SlotKind::Text, int16_t(k)}; }
// Parameter / text k + the chosen channel, step or event.
constexpr RowSlot channelParam(int k) { return {SlotKind::Param, int16_t(k), SlotShift::Channel}; }
constexpr RowSlot channelText(int k) { return {SlotKind::Text, int16_t(k), SlotShift::Channel}; }
// Shown, but a choice is not stored (the netlist sets it).
constexpr RowSlot shownOnly(int k) { return {SlotKind::Param, int16_t(k), SlotShift::None, false}; }
constexpr RowSlot panelSetpoint(int k) { return {SlotKind::Param, int16_t(k), SlotShift::PanelSetpoint}; }
// The SCADA-page block's button table: p8 onwards, kScadaButtons per page.
constexpr RowSlot pageButton() { return {SlotKind::Param, 8, SlotShift::PageButton}; }

EditorRow editorRow(RowKind kind, const QString& caption, RowSlot slot, QStringList items = {})
{
    EditorRow r;
    r.kind = kind;
    r.caption = caption;
    r.items = std::move(items);
    r.slot = slot;
    return r;
}

EditorRow number(const QString& caption, RowSlot slot) { return editorRow(RowKind::Number, caption, slot); }
EditorRow number(const char* caption, RowSlot slot) { return number(S(caption), slot); }
EditorRow name(const QString& caption, RowSlot slot) { return editorRow(RowKind::Name, caption, slot); }
EditorRow name(const char* caption, RowSlot slot) { return name(S(caption), slot); }
EditorRow choice(const char* caption, QStringList items, RowSlot slot)
{
    return editorRow(RowKind::List, S(caption), slot, std::move(items));
}

// A list whose choice is stored and also picks the channel or step of the
// rows after it.
EditorRow picking(EditorRow row)
{
    row.picks = Picks::Channel;
    return row;
}

// A selector stores nothing; its choice picks what the other rows edit.
EditorRow selector(const char* caption, QStringList items, Picks picks = Picks::Channel, int offered = -1)
{
    EditorRow r = editorRow(RowKind::Selector, S(caption), {}, std::move(items));
    r.slot.stores = false;
    r.picks = picks;
    r.offered = int8_t(offered);
    return r;
}

// Output labels counting down from the last output pin to the first.
std::vector<uint8_t> downFrom(int last, int first)
{
    std::vector<uint8_t> out;
    for (int p = last; p >= first; --p)
        out.push_back(uint8_t(p));
    return out;
}

std::vector<uint8_t> upTo(int last)
{
    std::vector<uint8_t> out;
    for (int p = 1; p <= last; ++p)
        out.push_back(uint8_t(p));
    return out;
}

// Label sets, one list of captions per subtype.
const std::vector<QStringList>& sumLabels()
{
    static const std::vector<QStringList> sets{
        list({"Смещение", "k*вход 1", "k*вход 2", "k*вход 1", "k*вход 2", "k*вход 1", "k*вход 2", "k*вход 1", "k*вход 2"}),
        list({"Смещение 1", "k*вход 1", "k*вход 2", "Смещение 2", "k*вход 1", "k*вход 2", "Смещение 3", "k*вход 1",
              "k*вход 2"}),
        list({"Смещение", "k*вход 1", "k*вход 2", "k*вход 3", "k*вход 4", "k*вход 5", "k*вход 6", "k*вход 7", "k*вход 8"}),
    };
    return sets;
}

const std::vector<QStringList>& pidLabels()
{
    static const QStringList impulse = list({"Т механизма", "Масштаб", "КП 1", "ТИ 1", "ТД 1", "Зона", "Слежение",
                                             "Предварение", "Балансировка", "-------- ", "-------- "});
    static const std::vector<QStringList> sets{
        list({"МАХ", "MIN", "КП 1", "ТИ 1", "ТД 1", "Масштаб", "Слежение", "Предварение", "Балансировка",
              "Выход PID MIN", "Выход PID MAX"}),
        list({"Период", "Ограничение л", "КП 1", "ТИ 1", "ТД 1", "КП 2", "ТИ 2", "ТД 2", "-------- ", "-------- ",
              "-------- "}),
        impulse,
        impulse,
        list({"Задание 1", "Зона 1", "Задание 2", "Зона 2", "Задание 3", "Зона 3", "Задание 4", "Зона 4", "-------- ",
              "-------- ", "-------- "}),
    };
    return sets;
}

const std::vector<QStringList>& uniLabels()
{
    static const QStringList none = list({"Нет", "Нет", "Нет", "Нет", "Нет", "Нет", "Нет", "Нет"});
    static const QStringList ifThen = list({"Номер 1", "Компаратор 1", "Зона 1", "Задержка 1", "Номер 2",
                                            "Компаратор 2", "Зона 2", "Задержка 2"});
    static const std::vector<QStringList> sets{
        numbered(8, "Задержка "),
        list({"Номер блока  ", "Нет параметра", "Нет параметра", "Нет параметра", "Нет параметра", "Нет параметра",
              "Нет параметра", "Нет параметра"}),
        ifThen,
        ifThen,
        list({"Таймер 0", "Таймер 7", "Нет", "Нет", "Нет", "Нет", "Нет", "Нет"}),
        none,
        list({"Тип таймера", "Время ON", "Время OFF", "Время паузы", "Нет", "Нет", "Нет", "Нет"}),
        list({"Авария MAX", "Авария MIN", "Клапан задержка", "Клапан вкл.", "Клапан выкл.", "Нет", "Нет", "Нет"}),
        none,
        list({"Зона 1", "Таймер 1", "Зона 2", "Таймер 2", "Зона 3", "Таймер 3", "Зона 4", "Таймер 4"}),
        none,
    };
    return sets;
}

// ---- how the netlist import reads each type's attributes ---------------------
// Attribute positions count from the component's first attribute; indexes are
// the block's parameters (p) or texts (t). The runs of a type are read in the
// order listed. Most attributes land where the type's editor row (rowsOf
// below) shows them; the component forms are the names the catalog lists.

using enum AttrRead;

// Attribute `attr` into index `index`.
constexpr AttrRun field(AttrRead read, int attr, int index)
{
    AttrRun r;
    r.attr = int16_t(attr);
    r.fields[0] = {read, int16_t(index)};
    return r;
}

// `count` consecutive attributes from `attr` into index, index + step, ...
constexpr AttrRun run(AttrRead read, int attr, int index, int count, int step = 1)
{
    AttrRun r = field(read, attr, index);
    r.records = int16_t(count);
    r.step = int16_t(step);
    return r;
}

// A value written without reading an attribute.
constexpr AttrRun given(AttrRead read, int index) { return field(read, 0, index); }

// `count` records of consecutive attributes from `attr`, one per field; the
// fields of record r go to their index + r.
constexpr AttrRun records(int attr, int count, std::initializer_list<AttrField> fields)
{
    AttrRun r;
    r.attr = int16_t(attr);
    r.records = int16_t(count);
    int f = 0;
    for (const AttrField& x : fields)
        r.fields[f++] = x;
    return r;
}

// The run only for components of form `form`.
constexpr AttrRun onlyFor(int form, AttrRun r)
{
    r.form = int8_t(form);
    return r;
}

constexpr bool kFormRequired = true;
constexpr bool kShortTexts = true;

constexpr AttrRun kAnalogInputRuns[] = {
    field(NetNumber3, 0, 0),
    // Four inputs of seven attributes: type, scale min/max, offset, signal min/max, filter.
    records(1, 4, {{Sensor, 1}, {Number, 5}, {Number, 9}, {Number, 13}, {Number, 17}, {Number, 21}, {Number, 25}}),
};
constexpr AttrRun kNetNumberRuns[] = {field(NetNumber, 0, 0)};
constexpr ComponentForm kDiscreteInputForms[] = {{"D_INPUT_ENCODER", 1}};
constexpr AttrRun kDiscreteInputRuns[] = {
    field(NetNumber, 0, 0),
    run(Zero, 0, 1, 8),              // p1..p8 := 0
    onlyFor(1, run(One, 0, 6, 3)),   // the encoder: p6..p8 := 1
};
constexpr AttrRun kDiscreteOutputRuns[] = {field(NetNumber, 0, 0), run(OutputKind, 1, 1, 8)};
constexpr ComponentForm kRs485Forms[] = {{"RS485_CONTROL", 0}, {"RS485_Ubrix_01", 1}, {"RS485", kModbusDeviceType}};
constexpr AttrRun kRs485Runs[] = {field(NetNumber, 0, 0), given(Form, 1), field(Baud, 1, 2)};
constexpr AttrRun kFourNumberRuns[] = {run(Number, 0, 0, 4)};
constexpr ComponentForm kSumForms[] = {{"SUM2_4", 0}, {"SUM2_3", 1}, {"SUM8_1", 2}};
constexpr AttrRun kSumRuns[] = {given(Form, 9), field(Number, 0, 8), run(Number, 1, 0, 8)};
constexpr ComponentForm kAndForms[] = {{"AND2_4", 0}, {"AND4_2", 1}, {"AND8_1", 2}};
constexpr ComponentForm kOrForms[] = {{"OR_2_4", 0}, {"OR_4_2", 1}, {"OR_8_1", 2}};
constexpr ComponentForm kMultiplexerForms[] = {{"MUX1_6", 0}, {"MUX2_3", 1}, {"MUXD1_8", 2}, {"MUXD2_4", 3}};
constexpr ComponentForm kMinMaxForms[] = {{"MIN_MAX_MIN", 0}, {"MIN_MAX_MAX", 1}};
constexpr AttrRun kFormRuns[] = {given(Form, 0)};
constexpr AttrRun kRegisterRuns[] = {field(Edge, 0, 0)};
constexpr AttrRun kSetpointRuns[] = {
    field(Text, 0, 8),                                 // block name
    records(1, 8, {{Text, 0}, {Number, 0}}),           // name and value of setpoints 1..8
};
constexpr ComponentForm kPidForms[] = {
    {"PID_ANALOG1", 0}, {"PID21_ANALOG", 1}, {"PID_IMPULS", 2}, {"PID_IMPULS1", 3}, {"PID_RELAY", 4}};
constexpr AttrRun kPidRuns[] = {
    given(Form, 0),
    // The editor rows 1..11 in order: p4, p11, p1..p3, p12..p14, p7, p16, p17.
    field(Number, 0, 4), field(Number, 1, 11), run(Number, 2, 1, 3), run(Number, 5, 12, 3),
    field(Number, 8, 7), run(Number, 9, 16, 2),
};
constexpr AttrRun kProgramSetterRuns[] = {
    field(Program, 0, 136),
    // Steps 1..32: set, hold, target, kind.
    records(1, 32, {{Number, 4}, {Number, 36}, {Number, 68}, {Number, 100}}),
};
constexpr ComponentForm kPanelForms[] = {
    {"PAN_OFF_ON", 0}, {"PAN_OFF_ON2", 1}, {"PAN_HAND_AUT", 2}, {"PAN_INC_DEC", 4}, {"PAN_INC_DEC_REG", 5}};
constexpr AttrRun kPanelRuns[] = {
    given(Form, 0),
    run(Text, 0, 0, 5),                        // panel name, channel names 1..4
    onlyFor(4, run(Number, 5, 10, 4)),         // limits 1..4
    onlyFor(5, run(Number, 5, 2, 4, 2)),       // setpoints 1..4 at p2, p4, p6, p8
    onlyFor(5, run(Number, 9, 10, 4)),         // limits 1..4
};
constexpr AttrRun kSixNumberRuns[] = {run(Number, 0, 0, 6)};
constexpr ComponentForm kCodeForms[] = {{"CODE", 0}, {"CODE_SP", 0}, {"CODE_AUTOMAT_128", 1}};
constexpr AttrRun kCodeRuns[] = {
    onlyFor(0, field(Program, 0, 0)),
    onlyFor(0, records(1, 32, {{Number, 4}, {Number, 36}, {Number, 68}})), // outputs 1..3 of steps 1..32
    onlyFor(1, field(AutomatProgram, 0, 0)),
    onlyFor(1, field(AutomatSteps, 1, 4)),
};
constexpr ComponentForm kTimerForms[] = {{"TIMER_4", 0}, {"TIMER_2", 1}};
constexpr AttrRun kTimerRuns[] = {
    given(Form, 0),
    onlyFor(0, run(Number, 0, 1, 4)),
    onlyFor(1, run(Number, 0, 1, 2)),
};
constexpr AttrRun kThreeNumberRuns[] = {run(Number, 0, 0, 3)};
constexpr ComponentForm kOscillatorForms[] = {{"OSC4_ONE", 0}, {"OSC4_GEN", 1}, {"OSC2_ONE", 2}, {"OSC2_GEN", 3}};
constexpr AttrRun kOscillatorRuns[] = {
    given(Form, 0),
    onlyFor(0, run(Number, 0, 1, 4, 2)),   // pulses at p1, p3, p5, p7
    onlyFor(1, run(Number, 0, 1, 8)),      // pulses and pauses p1..p8
    onlyFor(2, run(Number, 0, 1, 2, 2)),   // pulses at p1, p3
    onlyFor(3, run(Number, 0, 1, 4)),      // pulses and pauses p1..p4
};
constexpr AttrRun kGraphRuns[] = {
    field(Number3, 0, 0),                                        // poll interval
    field(Text, 1, 33),                                          // graph name
    records(2, 32, {{Number, 34}, {Number, 67}, {Text, 1}}),     // channels: scale min, max, name
};
constexpr AttrRun kJournalRuns[] = {
    field(Number3, 0, 50),                                       // time
    field(Text, 1, 0),                                           // journal name
    // Events: kind, Y coordinate, name. Event 32's coordinate lands on p82,
    // past the journal's own parameters.
    records(2, 32, {{Number, 10}, {Number, 51}, {Text, 1}}),
};
constexpr AttrRun kLogicRuns[] = {records(0, 3, {{SetpointOrTimer, 0}, {Number, 3}, {Number, 6}})};
constexpr AttrRun kAlgorithmRuns[] = {field(Number, 0, 0), given(SavedAlgorithm, 0)};
constexpr ComponentForm kUniversalForms[] = {
    {"UNI_STEP_OFF_ON", 0}, {"UNI_MENU", 1},      {"UNI_IF_THEN", 2},       {"UNI_IF_THEN_ELSE", 3},
    {"UNI_ZARIADKA_GA", 4}, {"UNI_DEC_HEX", 5},   {"UNI_REVERS", 6},        {"UNI_SHIBER_KLAPAN", 7},
    {"UNI_RTC", 8},         {"UNI_FILTER_4", 9},  {"UNI_GRAPH_START_STOP", 10}};
constexpr AttrRun kUniversalRuns[] = {given(Form, 0), run(Number, 0, 1, 8)};
constexpr AttrRun kReportRuns[] = {run(Text, 0, 0, 16)};

// ---- the types -----------------------------------------------------------------

struct TypeRow {
    int16_t type;
    const char* code;
    int16_t params = 0, texts = 0;
    uint8_t width = 0;
    TextForm textForm = TextForm::None;
    uint8_t first = 100;
    int16_t end = 100;
    int16_t setpointMax = 0;
    AttributeMap attributes = {};
};

// One row per real type: code, parameter and text counts, text width and how
// the texts are sent, first output pin and pin after the outputs, setpoint
// range, and how the netlist import reads the component's attributes.
constexpr TypeRow kTypeRows[] = {
    {kAnalogInput, "A_I", 29, 0, 0, TextForm::None, 1, 16, 0, {kAnalogInputRuns, {}}},
    {kAnalogOutput, "A_O", 5, 0, 0, TextForm::None, 100, 100, 0, {kNetNumberRuns, {}}},
    {kDiscreteInput, "D_I", 9, 0, 0, TextForm::None, 1, 8, 0, {kDiscreteInputRuns, kDiscreteInputForms}},
    {kDiscreteOutput, "D_O", 9, 0, 0, TextForm::None, 100, 100, 0, {kDiscreteOutputRuns, {}}},
    {kRs485, "RS4", 3, kModbusSlots, 1, TextForm::Number, 9, 17, 0, {kRs485Runs, kRs485Forms}},
    {kSystem, "SYS", 1, 0, 0, TextForm::None, 1, 2, 0},
    {kMultiplier, "MUL", 4, 0, 0, TextForm::None, 9, 13, 0, {kFourNumberRuns, {}}},
    {kSum, "SUM", 10, 0, 0, TextForm::None, 9, 13, 0, {kSumRuns, kSumForms, kFormRequired}},
    {kDivider, "DIV", 4, 0, 0, TextForm::None, 9, 13, 0, {kFourNumberRuns, {}}},
    {kSquareRoot, "SQR", 4, 0, 0, TextForm::None, 5, 9, 0, {kFourNumberRuns, {}}},
    {kAbsolute, "ABS", 0, 0, 0, TextForm::None, 5, 9, 0},
    {kAnd, "AND", 1, 0, 0, TextForm::None, 9, 13, 0, {kFormRuns, kAndForms}},
    {kOr, "OR_", 1, 0, 0, TextForm::None, 9, 13, 0, {kFormRuns, kOrForms}},
    {kXor, "XOR", 0, 0, 0, TextForm::None, 9, 13, 0},
    {kTrigger, "TRI", 0, 0, 0, TextForm::None, 9, 13, 0},
    {kRegister, "REG", 1, 0, 0, TextForm::None, 9, 13, 0, {kRegisterRuns, {}}},
    {kSetpointBlock, "S_P", 8, 9, 17, TextForm::Padded, 2, 10, 7, {kSetpointRuns, {}, false, kShortTexts}},
    {kPid, "PID", 18, 0, 0, TextForm::None, 9, 14, 7, {kPidRuns, kPidForms, kFormRequired}},
    {kMultiplexer, "MUX", 1, 0, 0, TextForm::None, 9, 17, 0, {kFormRuns, kMultiplexerForms}},
    {kProgramSetter, "PRO", 137, 0, 0, TextForm::None, 5, 9, 95, {kProgramSetterRuns, {}}},
    {kPanel, "PAN", 14, 5, 17, TextForm::Padded, 9, 17, 0, {kPanelRuns, kPanelForms, false, kShortTexts}},
    {kRealTimeClock, "RTC", 6, 0, 0, TextForm::None, 8, 9, 0, {kSixNumberRuns, {}}},
    {kCode, "COD", 100, 0, 0, TextForm::None, 6, 9, 95, {kCodeRuns, kCodeForms, kFormRequired}},
    {kMinMax, "MIN", 1, 0, 0, TextForm::None, 9, 11, 0, {kFormRuns, kMinMaxForms}},
    {kLimiter, "LIM", 4, 0, 0, TextForm::None, 3, 9, 0, {kFourNumberRuns, {}}},
    {kComparator, "CMP", 6, 0, 0, TextForm::None, 5, 11, 5, {kSixNumberRuns, {}}},
    {kTimer, "TIM", 5, 0, 0, TextForm::None, 9, 17, 3, {kTimerRuns, kTimerForms, kFormRequired}},
    {kCounter, "COU", 3, 0, 0, TextForm::None, 9, 12, 0, {kThreeNumberRuns, {}}},
    {kOscillator, "OSC", 9, 0, 0, TextForm::None, 9, 17, 7, {kOscillatorRuns, kOscillatorForms, kFormRequired}},
    {kGraph, "GRA", 99, 34, 17, TextForm::Padded, 100, 100, 0, {kGraphRuns, {}}},
    {kJournal, "JUR", 82, 33, 40, TextForm::Padded, 33, 41, 0, {kJournalRuns, {}}},
    {kScadaPage, "SCA", 1, 0, 0, TextForm::None, 32, 100, 0},
    {kLogic, "LOG", 9, 0, 0, TextForm::None, 9, 15, 0, {kLogicRuns, {}}},
    {kAlgorithm, "ALG", BlockTable::kAlgParams, BlockTable::kAlgTexts, 1, TextForm::Steps, 33, 65, 95, {kAlgorithmRuns, {}}},
    {kUniversal, "UNI", 9, 0, 0, TextForm::None, 9, 17, 7, {kUniversalRuns, kUniversalForms, kFormRequired}},
    {kMonitor, "MON", 0, 0, 0, TextForm::None, 100, 100, 0},
    {kReport, "REP", 0, 16, 17, TextForm::Padded, 17, 100, 0, {kReportRuns, {}, false, kShortTexts}},
    {kInverter, "INV", 0, 0, 0, TextForm::None, 2, 3, 0},
    {kTouch, "TOU", 0, 0, 0, TextForm::None, 1, 256, 0},
};

// PID rows 1..11 edit these parameters in order.
constexpr int kPidRowParams[11] = {4, 11, 1, 2, 3, 12, 13, 14, 7, 16, 17};

// The parameter editor's rows of each type: what each row shows and the
// parameter or text it edits.
std::vector<EditorRow> rowsOf(int type)
{
    const QStringList net16 = numbered(16);
    switch (type) {
    case kAnalogInput: { // input c = 1..4: its fields at p(c), p(4 + c), ... p(24 + c)
        QStringList sensors = BlockCatalog::sensorTypes().mid(0, 15);
        return {choice("№ в сети", net16, param(0)),
                selector("№ входа", numbered(4), Picks::ChannelFrom1),
                choice("Тип входа", sensors, channelParam(0)),
                number("Шкала min", channelParam(4)),
                number("Шкала max", channelParam(8)),
                number("Смещение", channelParam(12)),
                number("Сигнал min", channelParam(16)),
                number("Сигнал max", channelParam(20)),
                number("Фильтр", channelParam(24))};
    }
    case kAnalogOutput: // output c = 1..4; "Значение" addresses p(c + 4), beyond the block
        return {choice("№ в сети", net16, param(0)), selector("№ выхода", numbered(4), Picks::ChannelFrom1),
                choice("Тип выхода", list({"0-10 В", "0-5 мА", "0-20 мА", "4-20 мА", "Ручное"}), channelParam(0)),
                number("Значение", channelParam(4))};
    case kDiscreteInput:
        return {choice("№ в сети", net16, param(0)), selector("№ входа", numbered(8), Picks::ChannelFrom1),
                number("Тип", channelParam(0))};
    case kDiscreteOutput:
        return {choice("№ в сети", net16, param(0)), selector("№ выхода", numbered(8), Picks::ChannelFrom1),
                choice("Тип", list({"Реле", "Импульс", "Универсальный", "Шаговый мотор"}), channelParam(0))};
    case kRs485: // device type and baud rate come from the netlist only
        return {choice("№ в сети", numbered(128), param(0)),
                choice("Тип", list({"CONTROL", "Ubrix-01", "MODBUS", "4", "5"}), shownOnly(1)),
                choice("Скорость", BlockCatalog::baudList(), shownOnly(2))};
    case kMultiplier:
    case kDivider:
    case kSquareRoot:
        return {number("Усиление 1", param(0)), number("Усиление 2", param(1)), number("Усиление 3", param(2)),
                number("Усиление 4", param(3))};
    case kSum: { // offset first, then the gains, then the type
        std::vector<EditorRow> rows;
        const QStringList& base = sumLabels()[0];
        rows.push_back(number(base[0], param(8)));
        for (int i = 1; i <= 8; ++i)
            rows.push_back(number(base[i], param(i - 1)));
        rows.push_back(choice("Тип", list({"2 SUM", "2 sum", "8 SUM"}), param(9)));
        return rows;
    }
    case kAnd:
        return {choice("Тип 2-4-8", list({"2 AND", "4 AND", "8 AND"}), param(0))};
    case kOr:
        return {choice("Тип 2-4-8", list({"2 OR", "4 OR", "8 OR"}), param(0))};
    case kRegister:
        return {choice("Тип регистра", list({"Фронт", "Уровень"}), param(0))};
    case kSetpointBlock: { // name / value pairs, then the block name
        std::vector<EditorRow> rows;
        for (int k = 0; k < 8; ++k) {
            rows.push_back(name(S("Имя задатчика ") + QString::number(k + 1), text(k)));
            rows.push_back(number(S("Задатчик ") + QString::number(k + 1), param(k)));
        }
        rows.push_back(name("Имя блока", text(8)));
        return rows;
    }
    case kPid: {
        std::vector<EditorRow> rows;
        rows.push_back(choice("Тип", list({"Аналоговый ПИД 1", "Аналоговый ПИД 2", "Импульсный ПИД 1", "Импульсный ПИД 2",
                                           "Реле 2"}),
                              param(0)));
        const QStringList& base = pidLabels()[0];
        for (int i = 0; i < 11; ++i)
            rows.push_back(number(base[i], param(kPidRowParams[i])));
        return rows;
    }
    case kMultiplexer:
        return {choice("Тип коммутатора", list({"MUX1-6", "MUX2-3", "DMUX1-8", "DMUX2-4", "-------"}), param(0))};
    case kProgramSetter: { // the step list is stored in p0 and picks step c
        QStringList steps;
        for (int i = 0; i < 32; ++i)
            steps << S("Программа %1 Шаг %2 (%3)").arg(i / 8 + 1).arg(i % 8 + 1).arg(i + 1);
        return {picking(choice("Программа\\Шаг", steps, param(0))),
                number("Набор", channelParam(4)),
                number("Выдержка", channelParam(36)),
                number("Задание", channelParam(68)),
                choice("Тип", list({"Время", "Задание", "Время-Задание", "СТОП"}), channelParam(100)),
                choice("Программа", list({"1", "2", "3", "4"}), param(136))};
    }
    case kPanel: {
        std::vector<EditorRow> rows;
        rows.push_back(choice("Тип панели", list({"OFF_ON", "OFF_ON2", "AUT_HND", "SRT_STP", "INC_DEC", "INC_DEC PID"}),
                              param(0)));
        rows.push_back(name("Имя панели", text(0)));
        for (int k = 0; k < 4; ++k)
            rows.push_back(name(S("Имя канала ") + QString::number(k + 1), text(1 + k)));
        for (int k = 0; k < 4; ++k)
            rows.push_back(number(S("Задание ") + QString::number(k + 1), panelSetpoint(k)));
        for (int k = 0; k < 4; ++k)
            rows.push_back(number(S("Ограничение ") + QString::number(k + 1), param(10 + k)));
        return rows;
    }
    case kRealTimeClock:
        return {number("Вкл. час", param(0)),  number("Вкл. мин", param(1)),  number("Вкл. сек", param(2)),
                number("Выкл. час", param(3)), number("Выкл. мин", param(4)), number("Выкл. сек", param(5))};
    case kCode: // step c = 0..31, remembered by the editor
        return {selector("Шаг", numbered(32, "Шаг ")), number("Выход 1", channelParam(4)),
                number("Выход 2", channelParam(36)), number("Выход 3", channelParam(68)),
                choice("Номер блока", numbered(8), param(0))};
    case kMinMax:
        return {choice("Минимум/Максимум", list({"min", "max"}), param(0))};
    case kLimiter:
        return {number("Уровень min 1", param(0)), number("Уровень max 1", param(1)),
                number("Уровень min 2", param(2)), number("Уровень max 2", param(3))};
    case kComparator:
        return {number("Задание 1", param(0)), number("Зона 1", param(1)), number("Гистерезис 1", param(2)),
                number("Задание 2", param(3)), number("Зона 2", param(4)), number("Гистерезис 2", param(5))};
    case kTimer:
        return {choice("Тип", list({"4 канала", "2 канала", " ", " "}), param(0)), number("Задание 1", param(1)),
                number("Задание 2", param(2)), number("Задание 3", param(3)), number("Задание 4", param(4))};
    case kCounter:
        return {number("Задание CNT", param(0)), number("Минимум CNT", param(1)), number("Максимум CNT", param(2))};
    case kOscillator:
        return {choice("Тип", list({"Одновибратор 4", "Мультивибратор 4", "Одновибратор 2", "Мультивибратор 2"}),
                       param(0)),
                number("Импульс 1", param(1)), number("Пауза 1", param(2)), number("Импульс ", param(3)),
                number("Пауза 2", param(4)),   number("Импульс 3", param(5)), number("Пауза 3", param(6)),
                number("Импульс 4", param(7)), number("Пауза 4", param(8))};
    case kGraph: // the channel list is stored in p33 and picks channel c
        return {picking(choice("№ канала", numbered(32), param(33))), number("Опрос", param(0)),
                name("Имя графика", text(33)), number("Шкала min ", channelParam(34)),
                number("Шкала max", channelParam(67)), name("Имя канала", channelText(1))};
    case kJournal: { // event c = 0..31; text 0 is the journal's own name and
                     // event c's name is text c + 1, as the netlist import stores them
        QStringList events = list({"Архив", "Предупреждение", "Опасность 1", "Опасность 2", "Авария 1", "Авария 2",
                                   "ALR SCADA", "Сигнал"});
        events << numbered(8, "SCADA ");
        return {selector("Событие", numbered(32)), name("Имя", channelText(1)),
                choice("Тип события", events, channelParam(10)), number("Время", param(50)),
                number("Координата Y", channelParam(51))};
    }
    case kScadaPage: // page c, button; the button table lies beyond the block
        return {selector("№ страницы", numbered(8, "Стр. ")),
                selector("№ кнопки 1-24", numbered(kScadaButtons, "Кн. "), Picks::Button),
                number("№ блока 1-99", pageButton())};
    case kLogic: // channel c; the block owns three channels of the four listed:
                 // a fourth would address p3, p6 and p9 of other channels and the next block
        return {selector("№ канала", numbered(4), Picks::Channel, 3),
                choice("Тип канала", list({"SP<=IN", "Timer"}), channelParam(0)), number("Параметр", channelParam(3)),
                number("Задержка", channelParam(6))};
    case kAlgorithm:
        return {number("Номер блока", param(0))};
    case kUniversal: {
        std::vector<EditorRow> rows;
        rows.push_back(choice("Тип", list({"Step OFF-ON", "Меню", "If_Then", "If_Then_Else", "Разрядка ГА", "DEC_HEX",
                                           "РЕВЕРС", "Шибер_Клапан", "Таймер RTC", "FILTER", "График ПУСК/СТОП"}),
                              param(0)));
        const QStringList& base = uniLabels()[0];
        for (int i = 0; i < 8; ++i)
            rows.push_back(number(base[i], param(1 + i)));
        return rows;
    }
    case kReport: { // event names
        std::vector<EditorRow> rows;
        for (int k = 0; k < 16; ++k)
            rows.push_back(name(S("Имя события ") + QString::number(k + 1), text(k)));
        return rows;
    }
    default:
        return {};
    }
}

} // namespace

BlockCatalog::BlockCatalog()
{
    for (int t = 1; t <= kTypes; ++t)
        types_[t] = BlockTypeInfo{}; // "NO_", no parameters, no pins
    for (const TypeRow& r : kTypeRows) {
        BlockTypeInfo& i = types_[r.type];
        i.code = QString::fromLatin1(r.code);
        i.param_count = r.params;
        i.text_count = r.texts;
        i.text_width = r.width;
        i.textForm = r.textForm;
        i.first_out_pin = r.first;
        i.out_end_pin = r.end;
        i.setpoint_max = r.setpointMax;
        i.attributes = r.attributes;
        // Output labels: the pin of each output, counted from the last output
        // pin down; the input modules count up from pin 1; the SCADA-page
        // block's eight outputs sit on fixed pins.
        if (r.type == kAnalogInput || r.type == kDiscreteInput)
            i.output_labels = upTo(r.end);
        else if (r.type == kScadaPage)
            i.output_labels = {33, 34, 67, 68, 101, 102, 135, 136};
        else if (r.type == kReport || r.type == kInverter || r.type == kTouch || r.first >= 100 || r.end >= 100)
            i.output_labels = {};
        else
            i.output_labels = downFrom(r.end - 1, r.first);
        i.rows = rowsOf(r.type);
    }
    // Row captions that follow a subtype: SUM rows 0..8 by p9 (its list is
    // row 9), PID rows 1..11 and UNI rows 1..8 by p0 (their list is row 0).
    types_[kSum].labels = {&sumLabels(), 0, 9, 9};
    types_[kPid].labels = {&pidLabels(), 1, 0, 0};
    types_[kUniversal].labels = {&uniLabels(), 1, 0, 0};
}

const BlockTypeInfo& BlockCatalog::info(int type) const
{
    if (type < 1 || type > kTypes)
        return types_[0];
    return types_[type];
}

const EditorRow& BlockCatalog::row(int type, int r) const
{
    static const EditorRow hidden;
    const BlockTypeInfo& i = info(type);
    return (r >= 0 && r < int(i.rows.size())) ? i.rows[size_t(r)] : hidden;
}

int BlockCatalog::outputCount(int type) const
{
    // The SCADA, report, inverter and touch blocks have no outputs a page
    // element can show except the SCADA block's eight, which carry labels.
    if (type == kScadaPage || type == kReport || type == kInverter || type == kTouch)
        return int(info(type).output_labels.size());
    const BlockTypeInfo& i = info(type);
    if (i.first_out_pin >= 100 || i.out_end_pin >= 100)
        return 0;
    return i.out_end_pin - i.first_out_pin + ((type == kAnalogInput || type == kDiscreteInput) ? 1 : 0);
}

int BlockCatalog::outputLabel(int type, int j) const
{
    const BlockTypeInfo& i = info(type);
    return (j >= 0 && j < int(i.output_labels.size())) ? i.output_labels[size_t(j)] : 0;
}

QString BlockCatalog::labelSetCaption(int type, int row, int subtype) const
{
    const LabelSets& labels = info(type).labels;
    if (!labels.sets || subtype < 0 || subtype >= int(labels.sets->size()))
        return QString();
    const QStringList& set = (*labels.sets)[size_t(subtype)];
    const int i = row - labels.firstRow;
    if (i < 0 || i >= set.size())
        return QString();
    return set[i];
}

QString BlockCatalog::rowCaption(int type, int row, int subtype) const
{
    const QString set = labelSetCaption(type, row, subtype);
    if (!set.isNull())
        return set;
    return this->row(type, row).caption;
}

int BlockCatalog::typeForCode(const QString& code3) const
{
    for (int t = 1; t <= kTypes; ++t)
        if (types_[t].code == code3)
            return t;
    return 0;
}

void BlockCatalog::applyVersion(int version_code)
{
    types_[kRs485].text_count = version_code == 5 ? kModbusSlots : 0;
    types_[kTouch].param_count = (version_code == 3 || version_code == 4 || version_code == 5) ? 1 : 0;
}

const QStringList& BlockCatalog::sensorTypes()
{
    static const QStringList list{
        S("Выкл."), S("50П "),  S("50М "),  S("100П"),  S("100М"),   S("гр21"),   S("гр23"), S("Pt100"),
        S("ТХК "),  S("ТХА "),  S("ТПП "),  S("ТЖК "),  S("0-5мА"),  S("0-20мА"), S("4-20мА"), QString(""),
    };
    return list;
}

const QStringList& BlockCatalog::baudList()
{
    static const QStringList list{QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                                  QStringLiteral("57600"), QStringLiteral("115200")};
    return list;
}

} // namespace ostrel
