#pragma once
// The read-only catalog of the controller's block types 1..50: codes, parameter
// and text counts, pins, output labels, setpoint ranges and the parameter
// editor's rows. Built once per workspace; only the two version-dependent counts
// (RS4 texts, TOU parameters) change afterwards.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace ostrel {

enum class RowKind : uint8_t { Hidden, Number, Name, List, Selector };

struct EditorRow {
    RowKind kind = RowKind::Hidden;
    QString caption;     // base caption; label sets may override (rowCaption)
    QStringList items;   // list / selector items ("1".."N" when generated)
    // Fixed storage of the row when it has one: parameter index (Number, List)
    // or text index (Name) of the block; -1 when the editor computes it from
    // the chosen channel, step, event or subtype (or the row stores nothing).
    int16_t param = -1;
    int16_t text = -1;

    int itemCount() const { return int(items.size()); }
    bool visible() const { return kind != RowKind::Hidden; }
};

struct BlockTypeInfo {
    QString code = QStringLiteral("NO_");
    int16_t param_count = 0;
    int16_t text_count = 0;
    uint8_t text_width = 0;        // bytes per text in the download: 0, 1, 17 or 40
    uint8_t first_out_pin = 100;   // 100 = no outputs
    int16_t out_end_pin = 100;     // 100 = no outputs
    std::vector<uint8_t> output_labels; // label of output index 0, 1, ...
    int16_t setpoint_max = 0;
    std::vector<EditorRow> rows;   // up to 17 editor rows
};

class BlockCatalog {
public:
    static constexpr int kTypes = 50;

    BlockCatalog();

    // Lookups of a number outside 1..50 give an entry without a block.
    const BlockTypeInfo& info(int type) const;
    const QString& typeCode(int type) const { return info(type).code; }
    int paramCount(int type) const { return info(type).param_count; }
    int textCount(int type) const { return info(type).text_count; }
    int textWidth(int type) const { return info(type).text_width; }
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

// The SUM, PID and UNI label sets: caption of `row` for `subtype`, or a null
// QString when the type/row/subtype has none.
QString labelSetCaption(int type, int row, int subtype);

} // namespace ostrel
