#pragma once
// Stopping work when the user or a scheduler asks to (Ctrl+C, SIGTERM, SIGHUP; Ctrl+C and
// Ctrl+Break on Windows). Once CatchCancelSignals() has run, such a signal only notes that it came;
// the work checks between blocks (ThrowIfCancelled) and unwinds, so every unfinished output removes
// its temporary file on the way out, and main() then ends the program by the same signal, with the
// status a shell reports for it (128 + its number). A second signal ends the program at once.
namespace velmora_host {

// Thrown through the work in progress; not a failure of its own (no message, no per-file report).
struct Cancelled {
  int signal;
};

void CatchCancelSignals();
// Throws Cancelled when a cancel signal has come.
void ThrowIfCancelled();

}  // namespace velmora_host
