#pragma once
// The names of the stored fields of every SCADA record, in the order of
// visitFields (scada/record_fields.h), with the page model's names. The
// project diff names a changed field by them and the write journal stores a
// page's records under them; reading a record back walks the same names.
#include "scada/record_fields.h"

#include <QJsonObject>
#include <QJsonValue>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace ostrel {

template <class R> struct FieldNames;
template <> struct FieldNames<ParametrElement> {
    static constexpr std::array<const char*, 10> names{"used", "x", "y", "color", "back_color",
                                                       "frame", "font", "digits", "block", "output"};
};
template <> struct FieldNames<SignalElement> {
    static constexpr std::array<const char*, 11> names{"used", "x", "y", "width", "height", "color",
                                                       "back_color", "frame", "blink", "block", "output"};
};
template <> struct FieldNames<TextSignalElement> {
    static constexpr std::array<const char*, 12> names{"used", "x", "y", "font", "color", "back_color",
                                                       "text_off", "text_on", "frame", "blink", "block", "output"};
};
template <> struct FieldNames<LevelElement> {
    static constexpr std::array<const char*, 11> names{"used", "x", "y", "width", "height", "scale",
                                                       "color", "back_color", "style", "block", "output"};
};
template <> struct FieldNames<GoBlockElement> {
    static constexpr std::array<const char*, 5> names{"used", "x", "y", "target", "option"};
};
template <> struct FieldNames<FiguraElement> {
    static constexpr std::array<const char*, 8> names{"used", "x", "y", "size_x", "size_y",
                                                      "color", "type", "line_width"};
};
template <> struct FieldNames<VentElement> {
    static constexpr std::array<const char*, 8> names{"used", "x", "y", "width", "height",
                                                      "picture", "block", "output"};
};
template <> struct FieldNames<TextElement> {
    static constexpr std::array<const char*, 9> names{"used", "x", "y", "color", "text",
                                                      "font_name", "bold", "italic", "font_size"};
};
template <> struct FieldNames<GrafikElement> {
    static constexpr std::array<const char*, 6> names{"used", "x", "y", "width", "height", "group"};
};
template <> struct FieldNames<ClockElement> {
    static constexpr std::array<const char*, 3> names{"used", "x", "y"};
};
template <> struct FieldNames<ControlElement> {
    static constexpr std::array<const char*, 9> names{"used", "x", "y", "block", "channel",
                                                      "picture_file", "width", "height", "type"};
};
template <> struct FieldNames<MenuElement> {
    static constexpr std::array<const char*, 5> names{"used", "x", "y", "text", "target_page"};
};

template <class R> inline constexpr size_t kFieldCount = FieldNames<R>::names.size();

// One stored field's value: a number, or a text.
struct FieldValue {
    qint64 number = 0;
    const QString* text = nullptr;

    bool operator==(const FieldValue& o) const
    {
        return text ? (o.text && *text == *o.text) : (!o.text && number == o.number);
    }
    QJsonValue toJson() const { return text ? QJsonValue(*text) : QJsonValue(number); }
};

// The values of a record's fields in visitFields order. The texts point
// into `r`, which must outlive the result.
template <class R> std::array<FieldValue, kFieldCount<R>> fieldValues(const R& r)
{
    struct Collect {
        std::array<FieldValue, kFieldCount<R>> out{};
        size_t at = 0;
        void put(FieldValue v)
        {
            if (at < out.size())
                out[at] = v;
            ++at;
        }
        void i16(int16_t& v) { put({v, nullptr}); }
        void i32(int32_t& v) { put({v, nullptr}); }
        void u8(uint8_t& v) { put({v, nullptr}); }
        void text(QString& v) { put({0, &v}); }
    } c;
    // visitFields takes the record as it writes it; the collector only reads.
    visitFields(const_cast<R&>(r), c);
    return c.out;
}

// How many fields visitFields visits: must equal kFieldCount<R> (tested).
template <class R> size_t visitedFieldCount()
{
    struct Count {
        size_t n = 0;
        void i16(int16_t&) { ++n; }
        void i32(int32_t&) { ++n; }
        void u8(uint8_t&) { ++n; }
        void text(QString&) { ++n; }
    } c;
    R r{};
    visitFields(r, c);
    return c.n;
}

// The record as {"name": value, ...}.
template <class R> QJsonObject recordJson(const R& r)
{
    QJsonObject o;
    const auto values = fieldValues(r);
    for (size_t i = 0; i < values.size(); ++i)
        o.insert(QLatin1StringView(FieldNames<R>::names[i]), values[i].toJson());
    return o;
}

// The record from its JSON form; a field the object lacks keeps its value.
// Numbers are limited to the field's width.
template <class R> void recordFromJson(R& r, const QJsonObject& o)
{
    struct Fill {
        const QJsonObject& o;
        size_t at = 0;
        QJsonValue next() { return o.value(QLatin1StringView(FieldNames<R>::names[at++])); }
        qint64 number(qint64 current, qint64 low, qint64 high)
        {
            const QJsonValue j = next();
            return j.isDouble() ? std::clamp<qint64>(qint64(j.toDouble()), low, high) : current;
        }
        void i16(int16_t& v) { v = int16_t(number(v, INT16_MIN, INT16_MAX)); }
        void i32(int32_t& v) { v = int32_t(number(v, INT32_MIN, INT32_MAX)); }
        void u8(uint8_t& v) { v = uint8_t(number(v, 0, UINT8_MAX)); }
        void text(QString& v)
        {
            const QJsonValue j = next();
            if (j.isString())
                v = j.toString();
        }
    } f{o};
    visitFields(r, f);
}

} // namespace ostrel
