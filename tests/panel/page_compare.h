#pragma once
// A decoded page's element tables against the page model they were sent
// from, field by field, through the panel's conversion back to records.
#include "wire/page_decoder.h"
#include "wire/page_encoder.h"
#include "display/live_layer.h"
#include "scada/scada_pages.h"
#include <QStringList>

namespace ostrel::testing {

inline QString mismatch(const QString& what, int n, const QString& field, qint64 found, qint64 expected)
{
    return QStringLiteral("%1 %2 %3: decoded %4, sent %5").arg(what).arg(n).arg(field).arg(found).arg(expected);
}

// The decoded tables against page p of the model, field by field, for every
// used element: one line per difference, empty when they agree.
inline QString compareTables(const PageTables& t, const ScadaPages& s, int p)
{
    QStringList out;
    auto eq = [&](const QString& what, int n, const char* field, qint64 found, qint64 expected) {
        if (found != expected)
            out << mismatch(what, n, QString::fromLatin1(field), found, expected);
    };
    for (int n = 1; n <= 32; ++n) {
        const size_t i = size_t(n - 1);
        if (const ParametrElement& m = s.parametr[p][n]; m.used) {
            const WireParametr& w = t.parametr[i];
            const ParametrElement r = parametrRecord(w);
            eq("parameter", n, "x", r.x, m.x);
            eq("parameter", n, "y", r.y, m.y);
            eq("parameter", n, "color", w.color, Color_RGB_565(m.color));
            eq("parameter", n, "back_color", w.back_color, Color_RGB_565(m.back_color));
            eq("parameter", n, "frame", r.frame, m.frame);
            eq("parameter", n, "font", r.font, m.font);
            eq("parameter", n, "digits", r.digits, m.digits);
            eq("parameter", n, "block", r.block, m.block);
            eq("parameter", n, "output", r.output, m.output);
        }
        if (const SignalElement& m = s.signal[p][n]; m.used) {
            const WireSignal& w = t.signal[i];
            const SignalElement r = signalRecord(w);
            eq("signal", n, "x", r.x, m.x);
            eq("signal", n, "y", r.y, m.y);
            eq("signal", n, "width", r.width, m.width);
            eq("signal", n, "height", r.height, m.height);
            eq("signal", n, "color", w.color, Color_RGB_565(m.color));
            eq("signal", n, "back_color", w.back_color, Color_RGB_565(m.back_color));
            eq("signal", n, "frame", r.frame, m.frame);
            eq("signal", n, "block", r.block, m.block);
            eq("signal", n, "output", r.output, m.output);
        }
        if (const TextSignalElement& m = s.text_signal[p][n]; m.used) {
            const WireTextSignal& w = t.text_signal[i];
            const TextSignalElement r = textSignalRecord(w);
            eq("text signal", n, "x", r.x, m.x);
            eq("text signal", n, "y", r.y, m.y);
            eq("text signal", n, "font", r.font, m.font);
            eq("text signal", n, "color", w.color, Color_RGB_565(m.color));
            eq("text signal", n, "back_color", w.back_color, Color_RGB_565(m.back_color));
            eq("text signal", n, "frame", r.frame, m.frame);
            eq("text signal", n, "block", r.block, m.block);
            eq("text signal", n, "output", r.output, m.output);
            if (r.text_off != m.text_off.left(12) || r.text_on != m.text_on.left(12))
                out << QStringLiteral("text signal %1 texts: decoded \"%2\"/\"%3\", sent \"%4\"/\"%5\"")
                           .arg(n).arg(r.text_off, r.text_on, m.text_off, m.text_on);
        }
        if (const LevelElement& m = s.level[p][n]; m.used) {
            const WireLevel& w = t.level[i];
            const LevelElement r = levelRecord(w);
            eq("level", n, "x", r.x, m.x);
            eq("level", n, "y", r.y, m.y);
            eq("level", n, "width", r.width, m.width);
            eq("level", n, "height", r.height, m.height);
            eq("level", n, "scale", r.scale, m.scale);
            eq("level", n, "color", w.color, Color_RGB_565(m.color));
            eq("level", n, "back_color", w.back_color, Color_RGB_565(m.back_color));
            eq("level", n, "style", r.style, m.style);
            eq("level", n, "block", r.block, m.block);
            eq("level", n, "output", r.output, m.output);
        }
        if (const ControlElement& m = s.control[p][n]; m.used) {
            const WireControl& w = t.control[i];
            const int top = m.type == 13 ? m.y - 10 : m.y;
            eq("control", n, "x", w.x, m.x);
            eq("control", n, "y", w.y, top);
            eq("control", n, "type", w.type, m.type);
            eq("control", n, "touch_cell", w.touch_cell, touchCell(m.x, top));
            eq("control", n, "block", w.block, m.block);
            eq("control", n, "channel", w.channel, m.channel);
        } else {
            eq("control", n, "touch_cell", t.control[i].touch_cell, 0);
        }
        if (const GoBlockElement& m = s.go_block[p][n]; m.used) {
            const WireGoTo& w = t.go_block[i];
            eq("go-to", n, "touch_cell", w.touch_cell, touchCell(m.x, m.y));
            eq("go-to", n, "option", w.option, m.option);
            eq("go-to", n, "target", w.target, m.target);
        } else {
            eq("go-to", n, "touch_cell", t.go_block[i].touch_cell, 0);
        }
        if (const VentElement& m = s.vent[p][n]; m.used) {
            eq("mechanism", n, "picture", t.vent[i].picture, m.picture);
            eq("mechanism", n, "block", t.vent[i].block, m.block);
            eq("mechanism", n, "output", t.vent[i].output, m.output);
        }
    }
    for (int n = 1; n <= 8; ++n) {
        if (const MenuElement& m = s.menu[p][n]; m.used) {
            eq("menu", n, "x", t.menu[size_t(n - 1)].x, m.x);
            eq("menu", n, "y", t.menu[size_t(n - 1)].y, m.y);
            eq("menu", n, "target_page", t.menu[size_t(n - 1)].target_page, m.target_page);
        }
    }
    const ClockElement& clock = s.clock[size_t(p + 1)];
    eq("clock", p + 1, "x", t.clock.x, clock.x);
    eq("clock", p + 1, "y", t.clock.y, clock.y);
    if (const GrafikElement& g = s.grafik[size_t(p + 1)]; g.used) {
        const GrafikElement r = grafikRecord(t.grafik);
        eq("graph", p + 1, "x", r.x, g.x);
        eq("graph", p + 1, "y", r.y, g.y);
        eq("graph", p + 1, "width", r.width, g.width);
        eq("graph", p + 1, "height", r.height, g.height);
        eq("graph", p + 1, "group", r.group, g.group);
    }
    return out.join(QLatin1Char('\n'));
}

} // namespace ostrel::testing
