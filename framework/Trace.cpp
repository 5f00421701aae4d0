#include "framework/Trace.h"

#include <atomic>

namespace {
std::atomic<TraceSink> gSink{nullptr};
}

void SetTraceSink(TraceSink sink) { gSink.store(sink, std::memory_order_release); }

void Trace(const char* operation, int line, const char* format, ...) {
  const TraceSink sink = gSink.load(std::memory_order_acquire);
  if (!sink) return;
  va_list args;
  va_start(args, format);
  sink(operation, line, format, args);
  va_end(args);
}
