#pragma once
// The stored fields of every SCADA record, in file order, as one visit per
// record kind. The writer and the reader walk the same lists, so the two can
// never disagree about order or width. A visitor provides
// i16(int16_t&), i32(int32_t&), u8(uint8_t&) and text(QString&).
#include "project/project_format.h"
#include "scada/scada_pages.h"

namespace ostrel::project {

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

// Sections 8..19: the whole page model in file order. `v` additionally
// provides label(QString) for every label line, fixed(QString) for a fixed
// line, before_control(ControlElement&) called before each control record,
// and mechanisms() telling whether the version stores the mechanism table.
template <class V> void visitPages(ScadaPages& s, V& v)
{
    for (auto& ref : s.background_refs)
        v.text(ref);
    for (auto& kind : s.background_kind)
        v.u8(kind);
    v.fixed(kGridHeader);
    v.i16(s.grid_step); v.i16(s.grid_enabled); v.i16(s.grid_step_copy); v.i16(s.grid_enabled_copy);
    for (int p = 0; p < ScadaPages::kPages; ++p) {
        for (int n = 0; n < ScadaPages::kSlots; ++n) {
            v.label(p + 1, kLabelParametr, n); visitFields(s.parametr[p][n], v);
            v.label(p + 1, kLabelSignal, n); visitFields(s.signal[p][n], v);
            v.label(p + 1, kLabelTextSignal, n); visitFields(s.text_signal[p][n], v);
            v.label(p + 1, kLabelLevel, n); visitFields(s.level[p][n], v);
            v.label(p + 1, kLabelGoBlock, n); visitFields(s.go_block[p][n], v);
            v.label(p + 1, kLabelFigura, n); visitFields(s.figura[p][n], v);
        }
    }
    if (v.mechanisms()) {
        for (int p = 0; p < ScadaPages::kPages; ++p)
            for (int n = 0; n < ScadaPages::kSlots; ++n) {
                v.label(p + 1, kLabelVent, n);
                visitFields(s.vent[p][n], v);
                for (int r = 0; r < kReserveLines; ++r)
                    v.fixed(kReserveLine);
            }
    }
    for (int p = 0; p < ScadaPages::kPages; ++p)
        for (int n = 0; n < ScadaPages::kTextSlots; ++n) {
            v.label(p + 1, kLabelText, n);
            visitFields(s.text[p][n], v);
        }
    // Background, graph and clock labels carry the page index (or position)
    // after the kind instead of a slot number.
    for (int p = 0; p < ScadaPages::kShownPages; ++p) {
        v.label(p + 1, kLabelBackground, p);
        v.i32(s.fill_color[p]);
    }
    for (int q = 0; q < ScadaPages::kPages; ++q) {
        v.label(q + 1, kLabelGrafik, q);
        visitFields(s.grafik[q], v);
    }
    for (int q = 0; q < ScadaPages::kPages; ++q) {
        v.label(q + 1, kLabelClock, q);
        visitFields(s.clock[q], v);
    }
    for (int p = 0; p < ScadaPages::kPages; ++p)
        for (int n = 0; n < ScadaPages::kSlots; ++n) {
            v.label(p + 1, kLabelControl, n);
            v.before_control(s.control[p][n]);
            visitFields(s.control[p][n], v);
        }
    for (int p = 0; p < ScadaPages::kPages; ++p)
        for (int n = 0; n < ScadaPages::kMenuSlots; ++n) {
            v.label(p + 1, kLabelMenu, n);
            visitFields(s.menu[p][n], v);
        }
}

} // namespace ostrel::project
