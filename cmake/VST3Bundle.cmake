include_guard(GLOBAL)
# velmora_add_vst3_bundle(<target> NAME <bundle name> SOURCES ... LIBS ...
#                         [OUTPUT_DIR <dir>] [EXPORTS_MAP <exported names>] [FATAL_HOST_BREACHES])
#
# Builds <NAME>.vst3/Contents/<arch>/<NAME><binary suffix> (in OUTPUT_DIR, default the top of the
# build tree) from the module entry, the effect's sources and libraries (which together define
# GetEffectClassInfo). Only the module's entry points are exported, unless another list of names
# says otherwise. The platform's shape of the binary comes from velmora_platform_module
# (cmake/Platform.cmake). The bundle folder is stored in the target property VST3_BUNDLE_DIR.
# FATAL_HOST_BREACHES makes the first host contract breach abort the process: for test modules
# whose hosts must keep the contract, never for a module people load.
function(velmora_add_vst3_bundle target)
  cmake_parse_arguments(B "FATAL_HOST_BREACHES" "NAME;OUTPUT_DIR;EXPORTS_MAP" "SOURCES;LIBS" ${ARGN})
  if(NOT B_OUTPUT_DIR)
    set(B_OUTPUT_DIR ${CMAKE_BINARY_DIR})
  endif()
  if(NOT B_EXPORTS_MAP)
    set(B_EXPORTS_MAP ${VELMORA_DEFAULT_MODULE_EXPORTS})
  endif()
  set(bundle_dir "${B_OUTPUT_DIR}/${B_NAME}.vst3")
  add_library(${target} MODULE ${B_SOURCES} ${PROJECT_SOURCE_DIR}/framework/vst3/ModuleEntry.cpp)
  target_link_libraries(${target} PRIVATE ${B_LIBS} velmora_vst3)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  velmora_warnings(${target})
  if(B_FATAL_HOST_BREACHES)
    target_compile_definitions(${target} PRIVATE VELMORA_FATAL_HOST_BREACHES=1)
  else()
    target_compile_definitions(${target} PRIVATE VELMORA_FATAL_HOST_BREACHES=0)
  endif()
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${B_NAME}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY "${bundle_dir}/Contents/${VELMORA_VST3_ARCH}"
    VST3_BUNDLE_DIR "${bundle_dir}")
  velmora_platform_module(${target} ${B_EXPORTS_MAP})
endfunction()
