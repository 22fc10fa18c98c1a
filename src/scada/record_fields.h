#pragma once
// The stored fields of every SCADA record, in file order, as one visit per
// record kind. The project file's writer and reader and the copy snapshot of
// the page editor walk the same lists, so none of them can disagree about
// order or width. A visitor provides i16(int16_t&), i32(int32_t&),
// u8(uint8_t&) and text(QString&).
#include "scada/scada_pages.h"

namespace ostrel {

template <class V> void visitFields(ParametrElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y); v.i32(e.color); v.i32(e.back_color);
    v.u8(e.frame); v.u8(e.font); v.u8(e.digits); v.u8(e.block); v.u8(e.output);
}

template <class V> void visitFields(SignalElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y); v.i16(e.width); v.i16(e.height);
    v.i32(e.color); v.i32(e.back_color); v.u8(e.frame); v.u8(e.blink); v.u8(e.block); v.u8(e.output);
}

template <class V> void visitFields(TextSignalElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y); v.u8(e.font); v.i32(e.color); v.i32(e.back_color);
    v.text(e.text_off); v.text(e.text_on); v.u8(e.frame); v.u8(e.blink); v.u8(e.block); v.u8(e.output);
}

template <class V> void visitFields(LevelElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y); v.i16(e.width); v.i16(e.height);
    v.i32(e.scale); v.i32(e.color); v.i32(e.back_color); v.u8(e.style); v.u8(e.block); v.u8(e.output);
}

template <class V> void visitFields(GoBlockElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y); v.i16(e.target); v.i16(e.option);
}

template <class V> void visitFields(FiguraElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y); v.i16(e.size_x); v.i16(e.size_y);
    v.i32(e.color); v.i16(e.type); v.i16(e.line_width);
}

template <class V> void visitFields(VentElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y); v.i16(e.width); v.i16(e.height);
    v.i32(e.picture); v.u8(e.block); v.u8(e.output);
}

template <class V> void visitFields(TextElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y); v.i32(e.color); v.text(e.text); v.text(e.font_name);
    v.i16(e.bold); v.i16(e.italic); v.u8(e.font_size);
}

template <class V> void visitFields(GrafikElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y); v.i16(e.width); v.i16(e.height); v.u8(e.group);
}

template <class V> void visitFields(ClockElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y);
}

template <class V> void visitFields(ControlElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y); v.u8(e.block); v.u8(e.channel); v.text(e.picture_file);
    v.i16(e.width); v.i16(e.height); v.u8(e.type);
}

template <class V> void visitFields(MenuElement& e, V& v)
{
    v.i16(e.used); v.i16(e.x); v.i16(e.y); v.text(e.text); v.u8(e.target_page);
}

} // namespace ostrel
