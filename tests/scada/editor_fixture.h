#pragma once
// A page model with the editor state and the editor working on both, and the
// stored fields of a record as text, for the page editor's tests.
#include "scada/page_editing.h"
#include "scada/record_fields.h"

#include <QStringList>
#include <memory>

namespace fixture {

struct Editor {
    std::unique_ptr<ostrel::ScadaPages> pages = std::make_unique<ostrel::ScadaPages>();
    ostrel::PageEditorState state;
    ostrel::PageEditor editor{*pages, state};

    // Puts an occupied element at an object position.
    ostrel::ElementRef place(ostrel::ObjectKind kind, int page, int number, QPoint pos)
    {
        const ostrel::ElementRef ref{kind, page, number};
        ostrel::withRecord(*pages, ref, [](auto& e) { e.used = 1; });
        ostrel::storeObjectPos(*pages, ref, pos);
        return ref;
    }

    // The stored x and y of the ref's record.
    QPoint raw(const ostrel::ElementRef& ref) const
    {
        QPoint p;
        ostrel::withRecord(*pages, ref, [&](const auto& e) { p = QPoint(e.x, e.y); });
        return p;
    }

    // Press on the element 5 pixels inside its corner and move so that the
    // proposed corner is `proposed`.
    ostrel::PageChanges drag(const ostrel::ElementRef& ref, QPoint proposed)
    {
        editor.elementPress(ref, editor.objectPos(ref) + QPoint(5, 5));
        return editor.elementMove(ref, proposed + QPoint(5, 5), true);
    }

    // Draws a frame from `from` to `to` on the current page.
    void frame(QPoint from, QPoint to)
    {
        editor.pagePress(from);
        editor.pageDrag(to);
        editor.pageRelease(to);
    }
};

// Every stored field of a record, in file order.
struct FieldText {
    QStringList out;
    void i16(int16_t& v) { out << QString::number(v); }
    void i32(int32_t& v) { out << QString::number(v); }
    void u8(uint8_t& v) { out << QString::number(v); }
    void text(QString& t) { out << t; }
};

template <class T> QStringList fieldsOf(T record)
{
    FieldText v;
    ostrel::visitFields(record, v);
    return v.out;
}

inline QStringList fieldsAt(const ostrel::ScadaPages& pages, const ostrel::ElementRef& ref)
{
    QStringList fields;
    ostrel::withRecord(pages, ref, [&](const auto& e) { fields = fieldsOf(e); });
    return fields;
}

// Sets every stored field: 16-bit fields to i16, 32-bit to i32, bytes to u8, texts to text.
struct FieldFill {
    int16_t a;
    int32_t b;
    uint8_t c;
    QString t;
    void i16(int16_t& v) { v = a; }
    void i32(int32_t& v) { v = b; }
    void u8(uint8_t& v) { v = c; }
    void text(QString& s) { s = t; }
};

inline void fillAt(ostrel::ScadaPages& pages, const ostrel::ElementRef& ref, FieldFill fill)
{
    ostrel::withRecord(pages, ref, [&](auto& e) { ostrel::visitFields(e, fill); });
}

} // namespace fixture
