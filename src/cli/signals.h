#pragma once

// Ctrl-C, SIGTERM and SIGHUP stop a run the way the Cancel button does: the
// routine sees the Cancel flag at its next progress step, powers the socket
// down and returns, and the command then saves the simulated chip and ends
// with status 1. A second signal ends the program at once.

#include <atomic>

namespace cli {

// From now until RemoveSignalHandlers, the signals set `cancel` (and keep
// setting it: see ReassertCancel). Also makes a write beyond the file-size
// limit fail with an error instead of killing the program half-way.
void InstallSignalHandlers(std::atomic<int>& cancel);
void RemoveSignalHandlers();

// A signal has come since InstallSignalHandlers.
bool Interrupted();
// Sets the Cancel flag again after a routine's gauge cleared it, so that a
// signal that came between two phases still stops the next one.
void ReassertCancel();

}  // namespace cli
