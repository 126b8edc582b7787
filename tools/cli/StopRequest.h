#pragma once
// Ctrl-C (SIGINT) and SIGTERM ask the running conversation to stop, as "Stop uploading" does:
// the link sees the request at its next test and winds down, closing the port.

namespace quorvel::cli {

void StopOnSignals();
bool StopRequested();

} // namespace quorvel::cli
