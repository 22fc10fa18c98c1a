#pragma once
// The read-only catalog of the controller's block types 1..50: one description
// per type with its code, parameter and text counts, how its texts go to the
// controller, pins, output labels, setpoint range, the parameter editor's rows
// and how the netlist import reads its attributes. Built once per workspace;
// only the two version-dependent counts (RS4 texts, TOU parameters) change
// afterwards.
#include "scheme/block_types.h"
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace ostrel {

enum class RowKind : uint8_t { Hidden, Number, Name, List, Selector };

// What a row of the parameter editor edits: a parameter or a text of the block.
enum class SlotKind : uint8_t { None, Param, Text };

// What, besides the row's own index, picks the slot a row edits.
enum class SlotShift : uint8_t {
    None,          // the index itself
    Channel,       // index + the chosen channel, step or event
    PanelSetpoint, // PAN setpoint k (index k): p(2k + 2) under kPanelIncDecPid, else p(2k + 3)
    PageButton,    // SCA: index + kScadaButtons x the chosen page + the chosen button
};

// What a choice in a selector row changes for the rows after it.
enum class Picks : uint8_t {
    Nothing,      // not a selector
    Channel,      // the channel, step or event, counted from 0
    ChannelFrom1, // the channel of an I/O module, counted from 1
    Button,       // the button of the SCADA-page block
};

// The PAN panel type ("INC_DEC PID") that keeps setpoints 1..4 at p2, p4, p6, p8.
inline constexpr int kPanelIncDecPid = 5;
// Buttons per page of the SCADA-page block; its button table starts at p8.
inline constexpr int kScadaButtons = 24;

struct RowSlot {
    SlotKind kind = SlotKind::None;
    int16_t index = -1;
    SlotShift shift = SlotShift::None;
    bool stores = true; // false: shown only; a choice is not stored
};

// One row of the parameter editor: what it shows and what it edits.
struct EditorRow {
    RowKind kind = RowKind::Hidden;
    QString caption;     // base caption; label sets may override (rowCaption)
    QStringList items;   // list / selector items ("1".."N" when generated)
    RowSlot slot;
    Picks picks = Picks::Nothing;
    // Items the editor offers when it offers fewer than listed (the logic
    // block owns three channels of the four listed); -1: all of them.
    int8_t offered = -1;

    int itemCount() const { return int(items.size()); }
    bool visible() const { return kind != RowKind::Hidden; }
    bool selects() const { return picks != Picks::Nothing; }
    // The parameter or text the row always edits, -1 when the chosen
    // channel, step, event or panel type picks it (or the row edits none).
    int fixedParam() const { return fixed(SlotKind::Param); }
    int fixedText() const { return fixed(SlotKind::Text); }

private:
    int fixed(SlotKind k) const { return slot.kind == k && slot.shift == SlotShift::None ? slot.index : -1; }
};

// How a block's texts go to the controller.
enum class TextForm : uint8_t {
    None,    // the type has no texts
    Number,  // each text is a decimal number sent as one byte
    Padded,  // each text is sent in code page 1251, cut or blank-padded to the text width
    Steps,   // the texts are the algorithm step program, sent as the program's bytes
};

// What the netlist import reads from one attribute (or writes without one).
enum class AttrRead : uint8_t {
    None,            // no field
    Number,          // the value (7 characters) into parameter `index`
    Number3,         // the value of the first 3 characters
    NetNumber,       // a number counted from 1 ("№ в сети"), stored counted from 0
    NetNumber3,      // the same, read from the first 3 characters
    Text,            // the quoted text into text `index`
    Form,            // no attribute: the component's form (below) into parameter `index`
    Zero,            // no attribute: 0 into parameter `index`
    One,             // no attribute: 1 into parameter `index`
    Sensor,          // an input type name as its index in the sensor list
    OutputKind,      // "Реле", "Импульс", "Универсальный", "Шаговый мотор" (or "3") as 0..3
    Baud,            // a baud rate as its index in the rate list
    Edge,            // "Фронт" gives 0, anything else 1
    SetpointOrTimer, // a value beginning with "SP" gives 0, anything else 1
    Program,         // program number 1..4 (1 character) stored as 0..3; 0 when outside
    AutomatProgram,  // program number 1..4 of the automat form stored as 4..7; 4 when outside
    AutomatSteps,    // 384 step bits from this attribute on, packed per step and output
                     // into the parameters from `index` on
    SavedAlgorithm,  // no attribute: the saved algorithm setpoints and step program
};

struct AttrField {
    AttrRead read = AttrRead::None;
    int16_t index = 0; // parameter or text of the block (of the first record)
};

// Attributes read in order: `records` records of consecutive attributes, the
// first one at attribute `attr` (counted from the block's first attribute).
// The fields of record r go to their index + r x `step`.
struct AttrRun {
    static constexpr int kMaxFields = 7;
    static constexpr int8_t kAnyForm = -1;

    int16_t attr = 0;
    AttrField fields[kMaxFields] = {};
    int16_t records = 1;
    int16_t step = 1;
    int8_t form = kAnyForm; // read only for components of this form

    constexpr int fieldCount() const
    {
        int n = 0;
        while (n < kMaxFields && fields[n].read != AttrRead::None)
            ++n;
        return n;
    }
};

// A component name the import tells apart, and the form number it stands for.
struct ComponentForm {
    const char* component;
    int8_t form;
};

// How the netlist import fills a block of the type from its component.
struct AttributeMap {
    std::span<const AttrRun> runs;
    std::span<const ComponentForm> forms;
    // A component not listed in `forms` reads nothing at all.
    bool formRequired = false;
    // A text of more than 17 characters is cut to its first 15.
    bool shortTexts = false;
};

// Row captions that follow a subtype parameter: the caption of row r under
// subtype k is sets[k][r - firstRow].
struct LabelSets {
    const std::vector<QStringList>* sets = nullptr;
    int8_t firstRow = 0;
    int8_t param = -1;   // parameter holding the subtype
    int8_t listRow = 0; // editor row whose list offers the subtypes
};

struct BlockTypeInfo {
    QString code = QStringLiteral("NO_");
    int16_t param_count = 0;
    int16_t text_count = 0;
    uint8_t text_width = 0;        // bytes per text in the download: 0, 1, 17 or 40
    TextForm textForm = TextForm::None;
    uint8_t first_out_pin = 100;   // 100 = no outputs
    int16_t out_end_pin = 100;     // 100 = no outputs
    std::vector<uint8_t> output_labels; // label of output index 0, 1, ...
    int16_t setpoint_max = 0;
    std::vector<EditorRow> rows;   // up to 17 editor rows
    LabelSets labels;              // SUM, PID and UNI only
    AttributeMap attributes;       // empty: the import reads no attributes
};

class BlockCatalog {
public:
    static constexpr int kTypes = kTouch; // types 1..50

    BlockCatalog();

    // Lookups of a number outside 1..50 give an entry without a block.
    const BlockTypeInfo& info(int type) const;
    const QString& typeCode(int type) const { return info(type).code; }
    int paramCount(int type) const { return info(type).param_count; }
    int textCount(int type) const { return info(type).text_count; }
    int textWidth(int type) const { return info(type).text_width; }
    TextForm textForm(int type) const { return info(type).textForm; }
    int firstOutPin(int type) const { return info(type).first_out_pin; }
    int outEndPin(int type) const { return info(type).out_end_pin; }
    int setpointMax(int type) const { return info(type).setpoint_max; }
    // Outputs a SCADA element dialog offers for the type.
    int outputCount(int type) const;
    // Label number of output index j (0 when the type defines none).
    int outputLabel(int type, int j) const;

    // Editor row r (0..16) of the type; a hidden row when the type has none.
    const EditorRow& row(int type, int r) const;
    // Caption of editor row r after the label-set rule (SUM, PID, UNI follow
    // their subtype parameter: p9, p0, p0). A subtype without a set gives the
    // row's base caption.
    QString rowCaption(int type, int row, int subtype) const;
    // The label-set caption of `row` under `subtype`, or a null QString when
    // the type, row or subtype has none.
    QString labelSetCaption(int type, int row, int subtype) const;
    static constexpr int kRows = 17;

    // Type number 1..50 whose code equals the first three characters, or 0.
    int typeForCode(const QString& code3) const;

    // Version-dependent counts: RS4 texts are 48 for version 5, TOU parameters 1
    // for versions 3 and 5 (0 otherwise).
    void applyVersion(int version_code);

    static const QStringList& sensorTypes(); // 16 entries, index 15 empty
    static const QStringList& baudList();    // 5 entries

private:
    std::array<BlockTypeInfo, kTypes + 1> types_; // index 0 = no block
};

} // namespace ostrel
