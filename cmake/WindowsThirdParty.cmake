# The Windows cross build's own libpng, libsndfile, libebur128 and nlohmann-json (Debian ships them
# for Linux only), built once into the build tree by tools/windows/build-third-party.sh and found like system libraries.
set(VELMORA_THIRD_PARTY_PREFIX "${CMAKE_BINARY_DIR}/third-party" CACHE PATH
    "Where the cross-built third-party libraries are installed")

execute_process(
  COMMAND "${PROJECT_SOURCE_DIR}/tools/windows/build-third-party.sh" "${VELMORA_THIRD_PARTY_PREFIX}"
  RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "Building the third-party libraries for Windows failed (see ${VELMORA_THIRD_PARTY_PREFIX}/build.log)")
endif()
unset(_result)

list(PREPEND CMAKE_FIND_ROOT_PATH "${VELMORA_THIRD_PARTY_PREFIX}")
# pkg-config must read the cross-built libraries' .pc files, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${VELMORA_THIRD_PARTY_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
# zlib: the static archive by name (the folder also holds the import library of a zlib DLL).
set(ZLIB_LIBRARY "${VELMORA_MINGW_SYSROOT}/lib/libz.a" CACHE FILEPATH "")
