#pragma once
// The scheme as the controller receives it: the ten packets of stages 0..9,
// each without its checksum (the sequence appends it when sending).
#include "wire/scheme_layout.h"
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace ostrel {

struct AlgorithmData;
struct BlockTable;
class BlockCatalog;

inline const QString kParameterError = QStringLiteral("Ошибка параметра");
inline const QString kParameterErrorTitle = QStringLiteral("Ошибка");

struct SchemeImage {
    static constexpr int kStages = kSchemeStages; // stages 0..9 send; stage 10 ends the sequence
    std::array<QByteArray, kStages> packets{};
    // Some numeric parameter did not fit the four-byte encoding; it was sent
    // as 00 00 00 00 and the download goes on after "Ошибка параметра".
    bool parameterError = false;
    // Non-empty: the scheme cannot be sent (a text byte out of 0..255, an
    // algorithm step that does not fit, a total beyond the header's 16 bits).
    // The text is the message for the user; nothing must be sent.
    QString fatal;
};

// Four bytes of a parameter: value x 1000 rounded to nearest (ties to even),
// sign-magnitude, low byte first, sign in bit 7 of the fourth byte. false when
// the magnitude does not fit 31 bits (or the value is not a number); the four
// bytes are then zero.
bool encodeParameter(float value, uint8_t out[4]);

// Leading decimal number of a text (blanks skipped, optional sign and
// fraction), rounded to an integer with ties to even; 0 when there is none.
int64_t textNumericValue(const QString& text);

// All ten packets of a scheme write for controller `controllerNumber`, built
// from the block table (and the algorithm tables of its algorithm blocks) as
// it stands.
SchemeImage buildSchemeImage(const BlockTable& blocks, const BlockCatalog& catalog, const AlgorithmData& alg,
                             int controllerNumber);

// The packets with their checksums, in the order they go on the wire.
QByteArray schemeWireStream(const SchemeImage& image);

} // namespace ostrel
