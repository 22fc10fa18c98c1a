#include "wire/decode_problem.h"

namespace ostrel {

namespace {

const char* title(ProblemKind kind)
{
    switch (kind) {
    case ProblemKind::UnknownCommand: return "unknown command letter";
    case ProblemKind::NoLengthHeader: return "packet length unknown: no header received";
    case ProblemKind::SkippedBytes: return "bytes outside any packet skipped";
    case ProblemKind::Truncated: return "stream ends inside a packet";
    case ProblemKind::CutShort: return "packet cut short: the next packet starts inside it";
    case ProblemKind::Checksum: return "wrong checksum";
    case ProblemKind::ControllerNumber: return "controller number outside 1..8";
    case ProblemKind::ControllerMix: return "packet for another controller";
    case ProblemKind::PacketLength: return "wrong packet length";
    case ProblemKind::Order: return "packet out of order";
    case ProblemKind::Missing: return "packet missing";
    case ProblemKind::Repeated: return "packet repeated";
    case ProblemKind::Restarted: return "transfer restarted";
    case ProblemKind::ParamAlignment: return "parameter byte total not a multiple of 4";
    case ProblemKind::ParamTotal: return "parameter byte total differs from the block types";
    case ProblemKind::TextTotal: return "text byte total differs from the block types";
    case ProblemKind::BlockType: return "block type outside the catalog";
    case ProblemKind::FixedBlockType: return "wrong type of a fixed block number";
    case ProblemKind::CallAdjustment: return "call step without the call bit";
    case ProblemKind::PageIndex: return "page index outside 0..7";
    case ProblemKind::PageMix: return "headers name different pages";
    case ProblemKind::BandLength: return "band length out of range";
    case ProblemKind::HeaderMismatch: return "band length differs from the header";
    case ProblemKind::BandOverfill: return "band overfilled";
    case ProblemKind::BandUnderfill: return "band underfilled";
    case ProblemKind::BandRuns: return "runs not joined";
    case ProblemKind::TableArea: return "element table area of unknown size";
    case ProblemKind::Filler: return "filler byte not 7";
    case ProblemKind::Marker: return "marker table wrong";
    case ProblemKind::Reserved: return "reserved byte not zero";
    case ProblemKind::TouchCell: return "touch cell does not match the position";
    }
    return "problem";
}

} // namespace

Severity severity(ProblemKind kind)
{
    switch (kind) {
    case ProblemKind::Restarted:
    case ProblemKind::BlockType:
    case ProblemKind::FixedBlockType:
    case ProblemKind::BandRuns:
    case ProblemKind::Filler:
    case ProblemKind::Marker:
    case ProblemKind::Reserved:
    case ProblemKind::TouchCell:
    case ProblemKind::ControllerNumber:
        return Severity::Warning;
    default:
        return Severity::Error;
    }
}

QString describe(const DecodeProblem& p)
{
    QString s = QString::fromLatin1(title(p.kind));
    if (!p.detail.isEmpty())
        s += QStringLiteral(" (") + p.detail + QLatin1Char(')');
    if (p.packet >= 0)
        s += QStringLiteral(", packet %1").arg(p.packet);
    if (p.stage >= 0)
        s += QStringLiteral(", stage/part %1").arg(p.stage);
    if (p.offset >= 0)
        s += QStringLiteral(", offset %1").arg(p.offset);
    if (!p.expected.isEmpty() || !p.found.isEmpty())
        s += QStringLiteral(": expected %1, found %2").arg(p.expected, p.found);
    return s;
}

bool hasErrors(const std::vector<DecodeProblem>& problems)
{
    for (const DecodeProblem& p : problems)
        if (severity(p.kind) == Severity::Error)
            return true;
    return false;
}

} // namespace ostrel
