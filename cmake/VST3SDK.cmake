include_guard(GLOBAL)
# The VST3 SDK subset (interfaces, base classes, the SDK's support classes and host helpers),
# built once as a static library shared by the module and by the hosting layer. The few pieces
# the subset leaves out but its own classes need (vst3sdk/) are compiled in with it.
#
# Debian ships the subset inside juce-modules-source-data; VELMORA_VST3_SDK_DIR points elsewhere
# when another copy of the same SDK release is wanted.

set(VELMORA_VST3_SDK_DIR
    "/usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK"
    CACHE PATH "Root of the VST3 SDK (the folder holding pluginterfaces, base and public.sdk)")

if(NOT EXISTS "${VELMORA_VST3_SDK_DIR}/pluginterfaces/base/funknown.h")
  message(FATAL_ERROR "VST3 SDK not found in ${VELMORA_VST3_SDK_DIR} "
                      "(install juce-modules-source-data or set VELMORA_VST3_SDK_DIR)")
endif()

set(_sdk "${VELMORA_VST3_SDK_DIR}")
add_library(velmora_vst3sdk STATIC
  ${_sdk}/pluginterfaces/base/conststringtable.cpp
  ${_sdk}/pluginterfaces/base/coreiids.cpp
  ${_sdk}/pluginterfaces/base/funknown.cpp
  ${_sdk}/pluginterfaces/base/ustring.cpp
  ${_sdk}/base/source/baseiids.cpp
  ${_sdk}/base/source/fbuffer.cpp
  ${_sdk}/base/source/fdebug.cpp
  ${_sdk}/base/source/fobject.cpp
  ${_sdk}/base/source/fstreamer.cpp
  ${_sdk}/base/source/fstring.cpp
  ${_sdk}/base/source/updatehandler.cpp
  ${_sdk}/base/thread/source/flock.cpp
  ${_sdk}/public.sdk/source/common/memorystream.cpp
  ${_sdk}/public.sdk/source/common/pluginview.cpp
  ${_sdk}/public.sdk/source/vst/vstbus.cpp
  ${_sdk}/public.sdk/source/vst/vstcomponentbase.cpp
  ${_sdk}/public.sdk/source/vst/vstcomponent.cpp
  ${_sdk}/public.sdk/source/vst/vsteditcontroller.cpp
  ${_sdk}/public.sdk/source/vst/vstinitiids.cpp
  ${_sdk}/public.sdk/source/vst/vstparameters.cpp
  ${_sdk}/public.sdk/source/vst/vstpresetfile.cpp
  ${_sdk}/public.sdk/source/vst/hosting/hostclasses.cpp
  ${_sdk}/public.sdk/source/vst/hosting/pluginterfacesupport.cpp
  # The subset leaves out the identifiers of the view interfaces.
  ${CMAKE_CURRENT_LIST_DIR}/vst3sdk/PlugViewIids.cpp
)
unset(_sdk)

# SYSTEM keeps the SDK's own warnings out of our builds; the library itself builds with warnings
# off, since it is third-party code we do not edit.
target_include_directories(velmora_vst3sdk SYSTEM PUBLIC "${VELMORA_VST3_SDK_DIR}")
target_compile_options(velmora_vst3sdk PRIVATE -w)
# The SDK's debug layer (assertions, trace output) only in Debug builds.
target_compile_definitions(velmora_vst3sdk PUBLIC $<IF:$<CONFIG:Debug>,DEVELOPMENT=1,RELEASE=1>)
set_target_properties(velmora_vst3sdk PROPERTIES POSITION_INDEPENDENT_CODE ON)
find_package(Threads REQUIRED)
target_link_libraries(velmora_vst3sdk PUBLIC Threads::Threads ${CMAKE_DL_LIBS} ${VELMORA_VST3SDK_PLATFORM_LIBS})
