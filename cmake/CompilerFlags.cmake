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

# The sanitizer build of the test command: -DVELMORA_SANITIZE=ON.
option(VELMORA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VELMORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Windows programs and modules link everything but the system DLLs in: a host loading the module
# (or Wine running a test) finds no libstdc++ or winpthread DLL beside them. M_PI and friends as
# glibc offers them by default, and windows.h without its min and max macros.
if(WIN32)
  add_link_options(-static)
  add_compile_definitions(_USE_MATH_DEFINES NOMINMAX)
endif()
