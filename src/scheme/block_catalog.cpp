#include "scheme/block_catalog.h"

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

EditorRow number(const char* caption, int param = -1)
{
    EditorRow r;
    r.kind = RowKind::Number;
    r.caption = S(caption);
    r.param = int16_t(param);
    return r;
}

EditorRow name(const char* caption, int text = -1)
{
    EditorRow r;
    r.kind = RowKind::Name;
    r.caption = S(caption);
    r.text = int16_t(text);
    return r;
}

EditorRow choice(const char* caption, QStringList items, int param = -1)
{
    EditorRow r;
    r.kind = RowKind::List;
    r.caption = S(caption);
    r.items = std::move(items);
    r.param = int16_t(param);
    return r;
}

EditorRow selector(const char* caption, QStringList items)
{
    EditorRow r;
    r.kind = RowKind::Selector;
    r.caption = S(caption);
    r.items = std::move(items);
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

struct TypeRow {
    int type;
    const char* code;
    int params, texts, width, first, end;
    int setpointMax;
};

// Codes, counts, text widths, pins and setpoint ranges of the real types.
constexpr TypeRow kTypeRows[] = {
    {1, "A_I", 29, 0, 0, 1, 16, 0},     {2, "A_O", 5, 0, 0, 100, 100, 0},    {3, "D_I", 9, 0, 0, 1, 8, 0},
    {4, "D_O", 9, 0, 0, 100, 100, 0},   {5, "RS4", 3, 48, 1, 9, 17, 0},     {6, "SYS", 1, 0, 0, 1, 2, 0},
    {9, "MUL", 4, 0, 0, 9, 13, 0},      {10, "SUM", 10, 0, 0, 9, 13, 0},    {11, "DIV", 4, 0, 0, 9, 13, 0},
    {12, "SQR", 4, 0, 0, 5, 9, 0},      {13, "ABS", 0, 0, 0, 5, 9, 0},      {17, "AND", 1, 0, 0, 9, 13, 0},
    {18, "OR_", 1, 0, 0, 9, 13, 0},     {19, "XOR", 0, 0, 0, 9, 13, 0},     {20, "TRI", 0, 0, 0, 9, 13, 0},
    {21, "REG", 1, 0, 0, 9, 13, 0},     {25, "S_P", 8, 9, 17, 2, 10, 7},    {26, "PID", 18, 0, 0, 9, 14, 7},
    {27, "MUX", 1, 0, 0, 9, 17, 0},     {28, "PRO", 137, 0, 0, 5, 9, 95},   {29, "PAN", 14, 5, 17, 9, 17, 0},
    {30, "RTC", 6, 0, 0, 8, 9, 0},      {31, "COD", 100, 0, 0, 6, 9, 95},   {33, "MIN", 1, 0, 0, 9, 11, 0},
    {34, "LIM", 4, 0, 0, 3, 9, 0},      {35, "CMP", 6, 0, 0, 5, 11, 5},     {36, "TIM", 5, 0, 0, 9, 17, 3},
    {37, "COU", 3, 0, 0, 9, 12, 0},     {38, "OSC", 9, 0, 0, 9, 17, 7},     {41, "GRA", 99, 34, 17, 100, 100, 0},
    {42, "JUR", 82, 33, 40, 33, 41, 0}, {43, "SCA", 1, 0, 0, 32, 100, 0},   {44, "LOG", 9, 0, 0, 9, 15, 0},
    {45, "ALG", 129, 5248, 1, 33, 65, 95}, {46, "UNI", 9, 0, 0, 9, 17, 7}, {47, "MON", 0, 0, 0, 100, 100, 0},
    {48, "REP", 0, 16, 17, 17, 100, 0}, {49, "INV", 0, 0, 0, 2, 3, 0},      {50, "TOU", 0, 0, 0, 1, 256, 0},
};

std::vector<EditorRow> rowsOf(int type)
{
    const QStringList net16 = numbered(16);
    switch (type) {
    case 1: {
        QStringList sensors = BlockCatalog::sensorTypes().mid(0, 15);
        return {choice("№ в сети", net16, 0), selector("№ входа", numbered(4)), choice("Тип входа", sensors),
                number("Шкала min"),           number("Шкала max"),                number("Смещение"),
                number("Сигнал min"),          number("Сигнал max"),               number("Фильтр")};
    }
    case 2:
        return {choice("№ в сети", net16, 0), selector("№ выхода", numbered(4)),
                choice("Тип выхода", list({"0-10 В", "0-5 мА", "0-20 мА", "4-20 мА", "Ручное"})), number("Значение")};
    case 3:
        return {choice("№ в сети", net16, 0), selector("№ входа", numbered(8)), number("Тип")};
    case 4:
        return {choice("№ в сети", net16, 0), selector("№ выхода", numbered(8)),
                choice("Тип", list({"Реле", "Импульс", "Универсальный", "Шаговый мотор"}))};
    case 5:
        return {choice("№ в сети", numbered(128), 0),
                choice("Тип", list({"CONTROL", "Ubrix-01", "MODBUS", "4", "5"}), 1),
                choice("Скорость", BlockCatalog::baudList(), 2)};
    case 9:
    case 11:
    case 12:
        return {number("Усиление 1", 0), number("Усиление 2", 1), number("Усиление 3", 2), number("Усиление 4", 3)};
    case 10: {
        std::vector<EditorRow> rows;
        const QStringList& base = sumLabels()[0];
        rows.push_back(number(base[0].toUtf8().constData(), 8));
        for (int i = 1; i <= 8; ++i)
            rows.push_back(number(base[i].toUtf8().constData(), i - 1));
        rows.push_back(choice("Тип", list({"2 SUM", "2 sum", "8 SUM"}), 9));
        return rows;
    }
    case 17:
        return {choice("Тип 2-4-8", list({"2 AND", "4 AND", "8 AND"}), 0)};
    case 18:
        return {choice("Тип 2-4-8", list({"2 OR", "4 OR", "8 OR"}), 0)};
    case 21:
        return {choice("Тип регистра", list({"Фронт", "Уровень"}), 0)};
    case 25: {
        std::vector<EditorRow> rows;
        for (int k = 0; k < 8; ++k) {
            rows.push_back(name(QString(S("Имя задатчика ") + QString::number(k + 1)).toUtf8().constData(), k));
            rows.push_back(number(QString(S("Задатчик ") + QString::number(k + 1)).toUtf8().constData(), k));
        }
        rows.push_back(name("Имя блока", 8));
        return rows;
    }
    case 26: {
        std::vector<EditorRow> rows;
        rows.push_back(choice("Тип", list({"Аналоговый ПИД 1", "Аналоговый ПИД 2", "Импульсный ПИД 1", "Импульсный ПИД 2",
                                           "Реле 2"}),
                              0));
        static constexpr int store[11] = {4, 11, 1, 2, 3, 12, 13, 14, 7, 16, 17};
        const QStringList& base = pidLabels()[0];
        for (int i = 0; i < 11; ++i)
            rows.push_back(number(base[i].toUtf8().constData(), store[i]));
        return rows;
    }
    case 27:
        return {choice("Тип коммутатора", list({"MUX1-6", "MUX2-3", "DMUX1-8", "DMUX2-4", "-------"}), 0)};
    case 28: {
        QStringList steps;
        for (int i = 0; i < 32; ++i)
            steps << S("Программа %1 Шаг %2 (%3)").arg(i / 8 + 1).arg(i % 8 + 1).arg(i + 1);
        return {choice("Программа\\Шаг", steps, 0), number("Набор"), number("Выдержка"), number("Задание"),
                choice("Тип", list({"Время", "Задание", "Время-Задание", "СТОП"})),
                choice("Программа", list({"1", "2", "3", "4"}), 136)};
    }
    case 29: {
        std::vector<EditorRow> rows;
        rows.push_back(choice("Тип панели", list({"OFF_ON", "OFF_ON2", "AUT_HND", "SRT_STP", "INC_DEC", "INC_DEC PID"}), 0));
        rows.push_back(name("Имя панели", 0));
        for (int k = 0; k < 4; ++k)
            rows.push_back(name(QString(S("Имя канала ") + QString::number(k + 1)).toUtf8().constData(), 1 + k));
        for (int k = 0; k < 4; ++k) // stored at p(2k+2) or p(2k+3) depending on p0
            rows.push_back(number(QString(S("Задание ") + QString::number(k + 1)).toUtf8().constData()));
        for (int k = 0; k < 4; ++k)
            rows.push_back(number(QString(S("Ограничение ") + QString::number(k + 1)).toUtf8().constData(), 10 + k));
        return rows;
    }
    case 30:
        return {number("Вкл. час", 0),  number("Вкл. мин", 1),  number("Вкл. сек", 2),
                number("Выкл. час", 3), number("Выкл. мин", 4), number("Выкл. сек", 5)};
    case 31:
        return {selector("Шаг", numbered(32, "Шаг ")), number("Выход 1"), number("Выход 2"), number("Выход 3"),
                choice("Номер блока", numbered(8), 0)};
    case 33:
        return {choice("Минимум/Максимум", list({"min", "max"}), 0)};
    case 34:
        return {number("Уровень min 1", 0), number("Уровень max 1", 1), number("Уровень min 2", 2),
                number("Уровень max 2", 3)};
    case 35:
        return {number("Задание 1", 0), number("Зона 1", 1), number("Гистерезис 1", 2),
                number("Задание 2", 3), number("Зона 2", 4), number("Гистерезис 2", 5)};
    case 36:
        return {choice("Тип", list({"4 канала", "2 канала", " ", " "}), 0), number("Задание 1", 1),
                number("Задание 2", 2), number("Задание 3", 3), number("Задание 4", 4)};
    case 37:
        return {number("Задание CNT", 0), number("Минимум CNT", 1), number("Максимум CNT", 2)};
    case 38:
        return {choice("Тип", list({"Одновибратор 4", "Мультивибратор 4", "Одновибратор 2", "Мультивибратор 2"}), 0),
                number("Импульс 1", 1), number("Пауза 1", 2), number("Импульс ", 3), number("Пауза 2", 4),
                number("Импульс 3", 5), number("Пауза 3", 6), number("Импульс 4", 7), number("Пауза 4", 8)};
    case 41:
        return {choice("№ канала", numbered(32), 33), number("Опрос", 0), name("Имя графика", 33),
                number("Шкала min "), number("Шкала max"), name("Имя канала")};
    case 42: {
        QStringList events = list({"Архив", "Предупреждение", "Опасность 1", "Опасность 2", "Авария 1", "Авария 2",
                                   "ALR SCADA", "Сигнал"});
        events << numbered(8, "SCADA ");
        return {selector("Событие", numbered(32)), name("Имя"), choice("Тип события", events), number("Время", 50),
                number("Координата Y")};
    }
    case 43:
        return {selector("№ страницы", numbered(8, "Стр. ")), selector("№ кнопки 1-24", numbered(24, "Кн. ")),
                number("№ блока 1-99")};
    case 44:
        return {selector("№ канала", numbered(4)), choice("Тип канала", list({"SP<=IN", "Timer"})), number("Параметр"),
                number("Задержка")};
    case 45:
        return {number("Номер блока", 0)};
    case 46: {
        std::vector<EditorRow> rows;
        rows.push_back(choice("Тип", list({"Step OFF-ON", "Меню", "If_Then", "If_Then_Else", "Разрядка ГА", "DEC_HEX",
                                           "РЕВЕРС", "Шибер_Клапан", "Таймер RTC", "FILTER", "График ПУСК/СТОП"}),
                              0));
        const QStringList& base = uniLabels()[0];
        for (int i = 0; i < 8; ++i)
            rows.push_back(number(base[i].toUtf8().constData(), 1 + i));
        return rows;
    }
    case 48: {
        std::vector<EditorRow> rows;
        for (int k = 0; k < 16; ++k)
            rows.push_back(name(QString(S("Имя события ") + QString::number(k + 1)).toUtf8().constData(), k));
        return rows;
    }
    default:
        return {};
    }
}

} // namespace

QString labelSetCaption(int type, int row, int subtype)
{
    const std::vector<QStringList>* sets = nullptr;
    int first = 0;
    switch (type) {
    case 10: sets = &sumLabels(); first = 0; break;
    case 26: sets = &pidLabels(); first = 1; break;
    case 46: sets = &uniLabels(); first = 1; break;
    default: return QString();
    }
    if (subtype < 0 || subtype >= int(sets->size()))
        return QString();
    const QStringList& set = (*sets)[size_t(subtype)];
    const int i = row - first;
    if (i < 0 || i >= set.size())
        return QString();
    return set[i];
}

BlockCatalog::BlockCatalog()
{
    for (int t = 1; t <= kTypes; ++t)
        types_[t] = BlockTypeInfo{}; // "NO_", no parameters, no pins
    for (const TypeRow& r : kTypeRows) {
        BlockTypeInfo& i = types_[r.type];
        i.code = QString::fromLatin1(r.code);
        i.param_count = int16_t(r.params);
        i.text_count = int16_t(r.texts);
        i.text_width = uint8_t(r.width);
        i.first_out_pin = uint8_t(r.first);
        i.out_end_pin = int16_t(r.end);
        i.setpoint_max = int16_t(r.setpointMax);
        if (r.type == 1 || r.type == 3)
            i.output_labels = upTo(r.end);
        else if (r.type == 43)
            i.output_labels = {33, 34, 67, 68, 101, 102, 135, 136};
        else if (r.type == 48 || r.type == 49 || r.type == 50 || r.first >= 100 || r.end >= 100)
            i.output_labels = {};
        else
            i.output_labels = downFrom(r.end - 1, r.first);
        i.rows = rowsOf(r.type);
    }
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
    if (type == 43 || type == 48 || type == 49 || type == 50)
        return int(info(type).output_labels.size());
    const BlockTypeInfo& i = info(type);
    if (i.first_out_pin >= 100 || i.out_end_pin >= 100)
        return 0;
    return i.out_end_pin - i.first_out_pin + ((type == 1 || type == 3) ? 1 : 0);
}

int BlockCatalog::outputLabel(int type, int j) const
{
    const BlockTypeInfo& i = info(type);
    return (j >= 0 && j < int(i.output_labels.size())) ? i.output_labels[size_t(j)] : 0;
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
    types_[5].text_count = version_code == 5 ? 48 : 0;
    types_[50].param_count = (version_code == 3 || version_code == 4 || version_code == 5) ? 1 : 0;
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
