#pragma once
// Trace points: an operation name, a source line and a printf-style message. The sink
// discards them; the calls stay so a debugging build can route them somewhere.

#if defined(__GNUC__)
#define VELMORA_PRINTF_FORMAT(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define VELMORA_PRINTF_FORMAT(fmtIndex, firstArg)
#endif

void Trace(const char* operation, int line, const char* format, ...) VELMORA_PRINTF_FORMAT(3, 4);

#define TRACE_POINT(op, ...) Trace(op, __LINE__, __VA_ARGS__)
