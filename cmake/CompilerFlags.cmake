# Project-wide warning and floating-point policy.
#
# The DSP is specified to exact IEEE arithmetic, including single-precision roundings at
# fixed points, so the compiler must neither contract a*b+c into fused multiply-adds nor
# relax float semantics: Linux and Windows builds then produce the same samples.
add_compile_options(-ffp-contract=off -fno-fast-math)

# Warnings for our own code; third-party targets switch them off for themselves.
set(VELMORA_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wcast-align -Woverloaded-virtual -Wformat=2)

function(velmora_warnings target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${VELMORA_WARNINGS}>)
endfunction()

# The sanitizer builds of the test command. -DVELMORA_SANITIZE=ON: AddressSanitizer and
# UndefinedBehaviorSanitizer, with float-cast-overflow (GCC leaves it out of "undefined"), so an
# out-of-range double-to-integer conversion anywhere, the SDK included, stops the tests.
# -DVELMORA_SANITIZE_THREADS=ON: ThreadSanitizer, for the cross-thread tests.
option(VELMORA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VELMORA_SANITIZE_THREADS "Build with ThreadSanitizer" OFF)
if(VELMORA_SANITIZE AND VELMORA_SANITIZE_THREADS)
  message(FATAL_ERROR "AddressSanitizer and ThreadSanitizer cannot share a build")
endif()
if(VELMORA_SANITIZE)
  set(_sanitizers address,undefined,float-cast-overflow)
  add_compile_options(-fsanitize=${_sanitizers} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${_sanitizers})
endif()
if(VELMORA_SANITIZE_THREADS)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
