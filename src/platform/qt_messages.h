#pragma once
// Programs whose standard error is read by scripts (ostrel-cli, ostrel-panel)
// print their own lines only: Qt's notes (a missing XDG_RUNTIME_DIR, socket
// engine warnings) are dropped. A fatal error still says why before Qt ends
// the process.

namespace ostrel {

// Installs the message handler; call before the application object exists.
void dropQtMessages();

} // namespace ostrel
