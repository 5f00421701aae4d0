// The span functions on SSE2, two doubles per instruction: the baseline of every x86-64
// processor.
#include "kernel/ExpAlgorithm.h"
#include "kernel/Lanes.h"
#include "kernel/LogAlgorithm.h"
#include "kernel/Maths.h"
#include "kernel/SinAlgorithm.h"
#include "kernel/SpanLoop.h"
#include "kernel/TanhAlgorithm.h"

VELMORA_KERNEL_SPANS(sse2, VectorLanes<2>)
