#pragma once
// Trace points: an operation name, a source line and a printf-style message. By default the
// records are discarded; a debugging build or a test may install a sink to look at them.

#include <cstdarg>

void Trace(const char* operation, int line, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Receives every trace record; null (the default) discards them. The sink runs on whatever
// thread traced, including the audio thread inside state restore, so it must not block.
using TraceSink = void (*)(const char* operation, int line, const char* format, va_list args);
void SetTraceSink(TraceSink sink);

#define TRACE_POINT(op, ...) Trace(op, __LINE__, __VA_ARGS__)
