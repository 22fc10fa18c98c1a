#pragma once
// The page sections of the project file (8..19) in file order, walked by the
// writer and the reader alike; the fields of each record come from the one
// field list per record kind.
#include "project/project_format.h"
#include "scada/record_fields.h"

namespace ostrel::project {

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
