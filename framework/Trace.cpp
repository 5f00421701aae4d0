#include "framework/Trace.h"

#include <atomic>

namespace {
// Wrapped in a record: on Windows va_list carries a type attribute that std::atomic's template
// argument would drop (with a warning).
struct SinkSlot {
  TraceSink sink;
};
std::atomic<SinkSlot> gSink{SinkSlot{nullptr}};
}  // namespace

void SetTraceSink(TraceSink sink) { gSink.store(SinkSlot{sink}, std::memory_order_release); }

void Trace(const char* operation, int line, const char* format, ...) {
  const TraceSink sink = gSink.load(std::memory_order_acquire).sink;
  if (!sink) return;
  va_list args;
  va_start(args, format);
  sink(operation, line, format, args);
  va_end(args);
}
