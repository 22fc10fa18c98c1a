#pragma once
// The step program of an algorithm block, held as decimal text fields in the
// block's TextStore entries (128 steps x 41 fields) and its setpoints in
// ParamStore entries 1..128.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace ostrel {

struct BlockTable;
struct AlgorithmData;

// The 5248 bytes the controller receives for algorithm block `block`: every
// field's value, with 128 added to then_kind / else_kind of steps whose branch
// is marked as a call. Returns false and sets `problem` (the text for the
// user) when a value does not fit its byte; `out` is then unspecified.
bool algorithmDownloadImage(const BlockTable& bt, const AlgorithmData& alg, int block,
                            QByteArray& out, QString* problem = nullptr);

} // namespace ostrel
