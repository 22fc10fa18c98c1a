#pragma once
// What the controller draws over a received page image: the live elements of
// the element tables, with values of the block outputs they are bound to.
// The wire fields are turned back into the page model's records, so that the
// elements are drawn by the page painter, as the editor draws them.
//
// The tables carry no used flag. An element is taken as placed when its
// position or its block binding is not zero, unless it holds what "Удалить"
// in its dialog leaves (that delete keeps the block and output): a parameter
// at (0, 0) in black on black without frame and font, a 3 x 3 signal or a
// 10 x 10 level at (0, 0) in black on black without frame, a text signal at
// (1, 1) in black on black without text and frame. The delete of the
// context menu clears the binding as well. A control or go-to cell is
// placed when its touch cell is not zero.
#include "wire/page_decoder.h"
#include "display/block_values.h"
#include "scada/scada_pages.h"
#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

namespace ostrel {

struct LiveOptions {
    bool touch_cells = false; // outline the control and go-to touch cells
    QDateTime now;            // time shown by the clock; invalid = the current time
};

// An RGB565 colour as a record colour (0x00BBGGRR), each component widened
// by repeating its top bits (0x1F -> 0xFF, 0 -> 0).
int32_t recordColorOf565(uint16_t rgb565);

// The records the wire fields stand for (used = 1 when placed).
ParametrElement parametrRecord(const WireParametr& w);
SignalElement signalRecord(const WireSignal& w);
TextSignalElement textSignalRecord(const WireTextSignal& w);
LevelElement levelRecord(const WireLevel& w);
GrafikElement grafikRecord(const WireGraph& w);
ClockElement clockRecord(const WireClock& w);

// The value an element bound to (block, output) shows; a parameter's output
// with bit 7 set names a setpoint.
double parametrValue(const WireParametr& w, const BlockValues& values);
double boundValue(uint8_t block, uint8_t output, const BlockValues& values);

// A value in a parameter's field of digits + 2 characters: as many decimals
// (up to 2) as fit, an integer when none fit, and asterisks when even the
// integer does not fit; padded on the left to the field width with figure
// spaces (as wide as a digit). The time display (font 24) shows the value
// as minutes: "hh:mm".
QString parametrValueText(double value, const ParametrElement& e);

// The 62 x 60 cell of touch cell number `cell` (1 = top left, 13 columns),
// clipped to the page; empty for 0 or a cell off the page.
QRect touchCellRect(int cell);

// Draws the live elements in page coordinates: levels, signals, text
// signals, parameters, the graph frame and the clock, then (on demand) the
// touch cells of the controls and go-to targets with their numbers.
void paintLiveElements(QPainter& p, const PageTables& tables, const BlockValues& values, const LiveOptions& options);

// The received image (800 x 480) with the live elements drawn over it.
QImage composePanelPage(const QImage& pageImage, const PageTables& tables, const BlockValues& values,
                        const LiveOptions& options);

} // namespace ostrel
