#pragma once
// A write into a controller from the command line: the link target of the
// options, and the run of the transfer engine until the write ends.
#include "cli/cli_options.h"
#include <QByteArray>
#include <functional>

namespace ostrel {
struct LinkSettings;
class TransferEngine;
}

namespace ostrel::cli {

// Points the settings at --tcp's peer, or else at the serial port (the
// device itself is given to the engine by runLinkWrite).
void useLinkTarget(const LinkOptions& link, LinkSettings& settings);

// The link as the journal names it: "HOST:PORT" or the serial device.
QString linkName(const LinkOptions& link);

// Runs the write that `start` begins, without retries: the first failing
// send ends it. On success prints summary(bytes sent). The exit status: 0, or
// 1 when the write did not start or failed.
int runLinkWrite(TransferEngine& engine, const LinkOptions& link, const std::function<bool()>& start,
                 const std::function<QByteArray(qsizetype sent)>& summary);

} // namespace ostrel::cli
