// The span functions on AVX2, four doubles per instruction. This file alone is compiled for AVX2
// (see CMakeLists.txt); it is only entered after the processor has been found to have it. Its
// code is made of templates instantiated on VectorLanes<4>, which no other file instantiates, so
// none of it can stand in for code the baseline files emit.
#include "kernel/ExpAlgorithm.h"
#include "kernel/Lanes.h"
#include "kernel/LogAlgorithm.h"
#include "kernel/Maths.h"
#include "kernel/SinAlgorithm.h"
#include "kernel/SpanLoop.h"
#include "kernel/TanhAlgorithm.h"

VELMORA_KERNEL_SPANS(avx2, VectorLanes<4>)
