include_guard(GLOBAL)
# The one place the build chooses the target platform and what it supplies. Every other CMake file
# reads the variables set here and never tests the system itself; everything above the seams named
# here is platform-neutral and built the same everywhere.
#
#   VELMORA_PLATFORM                          win32 (the mingw-w64 cross build), x11 (Linux with an
#                                             X11 editor window) or headless (Linux without any
#                                             window system: the module's editor draws off-screen)
#   VELMORA_BASE_PLATFORM_SOURCES             UTF-8 file names on the platform's calls, and (win32)
#                                             the Windows API's wide text (base/platform/<name>/)
#   VELMORA_BITMAP_PLATFORM_SOURCES / _LIBS   the drawing surface behind LICE_SysSurface.h and the
#                                             fonts behind LICE_FontPlatform.h (bitmap/platform/<name>/)
#   VELMORA_GRAPHICS_PLATFORM_SOURCES / _LIBS the editor's platform class and the
#                                             MakePlatformGraphics that makes it, from one folder
#                                             under framework/graphics/platform/
#   VELMORA_GRAPHICS_RESOURCE_SOURCES         where the graphics core finds embedded images when
#                                             they are not compiled in (a module's resources)
#   VELMORA_VST3_PLATFORM_SOURCES             the binding's side of the host's event loop
#                                             (ConnectHostRunLoop, framework/vst3/HostRunLoop.h;
#                                             StartUiThreadTimer, framework/vst3/UiThreadTimer.h)
#   VELMORA_VST3_PLATFORM_LIBS                what those sources link
#   VELMORA_VST3SDK_PLATFORM_LIBS             what the VST3 SDK library links besides threads
#   VELMORA_VST3_ARCH                         the bundle's binary folder, e.g. "x86_64-linux"
#   VELMORA_MODULE_SUFFIX                     the module binary's file suffix (.so, .vst3)
#   VELMORA_AVX2_EXTRA_FLAGS                  what the maths kernel's AVX2 file needs besides -mavx2
#   velmora_platform_module(<target> <exports map>)
#                                             the module entry flavour: entry points, binary name,
#                                             and which symbols the module exports
#   VELMORA_HOSTING_PLATFORM_SOURCES          the hosting layer's module loader
#                                             (tools/vst3host), and the run loop it offers editors
#   VELMORA_HOSTING_WINDOW_SOURCES / _LIBS    the host's own editor window (velmora_vst3host_window);
#                                             empty where the platform has none
#   VELMORA_HOST_PLATFORM_SOURCES / _LIBS     the host support library's operating-system side
#                                             (arguments, helper programs, file names; tools/support)
#   VELMORA_HOST_EDIT_SOURCES / _LIBS         velmora-host's `edit` command
#   VELMORA_TEST_DIRS                         the test folders this build runs
#   VELMORA_WINDOW_TEST_PLATFORM_DIR          the editor-window tests' platform folder (the window
#                                             driver, the test host and the platform's own cases)
#   VELMORA_*_TEST_PLATFORM_SOURCES           each test folder's platform cases
#
# Booleans:
#   VELMORA_RUNS_UNDER_WINE          the build's programs (tools run at build time, tests) are
#                                    Windows programs run under Wine on the build machine
#   VELMORA_RESOURCES_IN_MODULE      images are resources of the module binary, not embedded arrays
#   VELMORA_MODULE_SHARES_C_RUNTIME  the module calls the process's shared C library, so a test
#                                    can see its imports and intercept its allocations
#   VELMORA_HAS_HOST_WINDOW          the hosting layer has an editor window of its own
#   VELMORA_WINDOWS_PACKAGE          the build packs the user's zip (cmake/WindowsPackage.cmake)
#                                    instead of installing with cmake --install

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(_velmora_default_platform win32)
else()
  set(_velmora_default_platform x11)
endif()
set(VELMORA_PLATFORM "${_velmora_default_platform}" CACHE STRING
    "Target platform: win32, x11 or headless (default from the target system)")
set_property(CACHE VELMORA_PLATFORM PROPERTY STRINGS win32 x11 headless)
unset(_velmora_default_platform)
if(NOT VELMORA_PLATFORM MATCHES "^(win32|x11|headless)$")
  message(FATAL_ERROR "VELMORA_PLATFORM is '${VELMORA_PLATFORM}'; it must be win32, x11 or headless")
endif()
if((VELMORA_PLATFORM STREQUAL "win32") AND NOT (CMAKE_SYSTEM_NAME STREQUAL "Windows"))
  message(FATAL_ERROR "VELMORA_PLATFORM=win32 needs a Windows target (the windows preset's toolchain)")
endif()
if(NOT (VELMORA_PLATFORM STREQUAL "win32") AND (CMAKE_SYSTEM_NAME STREQUAL "Windows"))
  message(FATAL_ERROR "A Windows target builds VELMORA_PLATFORM=win32 only")
endif()
message(STATUS "Velmora platform: ${VELMORA_PLATFORM}")

set(_src ${PROJECT_SOURCE_DIR})
# Test folders every platform runs; the platform adds its own below.
set(_common_test_dirs base bitmap kernel vst3)

if(VELMORA_PLATFORM STREQUAL "win32")
  # Windows (cross-built with mingw-w64): DIB sections in memory device contexts and GDI fonts
  # for the bitmap layer, PNG images from a module's resource section, file names through the
  # wide-character calls, and the DLL entry. The editor is a Win32 child window in the host's
  # window, run by the host's message loop.
  set(VELMORA_BASE_PLATFORM_SOURCES ${_src}/base/platform/win32/FileSystem.cpp ${_src}/base/platform/win32/WideText.cpp)
  set(VELMORA_BITMAP_PLATFORM_SOURCES
    ${PROJECT_SOURCE_DIR}/bitmap/platform/win32/LICE_SysSurfaceGdi.cpp
    ${PROJECT_SOURCE_DIR}/bitmap/platform/win32/LICE_FontPlatformGdi.cpp
    ${PROJECT_SOURCE_DIR}/bitmap/platform/win32/LICE_ModuleResources.cpp)
  set(VELMORA_BITMAP_PLATFORM_LIBS gdi32 advapi32)
  set(_win32 ${PROJECT_SOURCE_DIR}/framework/graphics/platform/win32)
  set(VELMORA_GRAPHICS_PLATFORM_SOURCES
    ${_win32}/FileDialogFilter.cpp
    ${_win32}/IGraphicsWin.cpp
    ${_win32}/IGraphicsWinPrompt.cpp
    ${_win32}/IGraphicsWinServices.cpp
    ${_win32}/MakePlatformGraphics.cpp
    ${_win32}/PopupMenuIds.cpp
    ${_win32}/Win32Keys.cpp)
  set(VELMORA_GRAPHICS_PLATFORM_LIBS user32 gdi32 comctl32 comdlg32 shell32 wininet)
  set(VELMORA_GRAPHICS_RESOURCE_SOURCES ${_win32}/ModuleResourceTable.cpp)
  unset(_win32)
  set(VELMORA_VST3_PLATFORM_SOURCES ${PROJECT_SOURCE_DIR}/framework/vst3/platform/win32/HostRunLoop.cpp
                                    ${PROJECT_SOURCE_DIR}/framework/vst3/platform/win32/UiThreadTimer.cpp)
  set(VELMORA_VST3_PLATFORM_LIBS user32)
  set(VELMORA_VST3_ARCH "x86_64-win")
  # GCC for Windows keeps the stack 16-byte aligned and cannot realign it for 32-byte AVX values
  # it spills there; the assembler makes every aligned vector move an unaligned one, which costs
  # nothing on aligned data.
  set(VELMORA_AVX2_EXTRA_FLAGS "-Wa,-muse-unaligned-vector-move")

  # A DLL named like its bundle (the VST3 convention: Contents/x86_64-win/<NAME>.vst3) with
  # DllMain, InitDll and ExitDll. Only functions marked SMTG_EXPORT_SYMBOL (dllexport) are
  # exported, so the list of names is not needed; nothing may stay unresolved.
  function(velmora_platform_module target)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/framework/vst3/platform/win32/Win32ModuleEntry.cpp)
    set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".vst3")
    target_link_options(${target} PRIVATE "LINKER:--no-undefined")
  endfunction()
  set(VELMORA_DEFAULT_MODULE_EXPORTS "")
  set(VELMORA_MODULE_SUFFIX ".vst3")
  # FUID::generate creates GUIDs through COM.
  set(VELMORA_VST3SDK_PLATFORM_LIBS ole32)
  # Programs and modules link everything but the system DLLs in: a host loading the module (or
  # Wine running a test) finds no libstdc++ or winpthread DLL beside them. M_PI and friends as
  # glibc offers them by default, and windows.h without its min and max macros.
  add_link_options(-static)
  add_compile_definitions(_USE_MATH_DEFINES NOMINMAX)

  set(VELMORA_HOSTING_PLATFORM_SOURCES ${_src}/tools/vst3host/platform/win32/ModuleLibrary.cpp)
  set(VELMORA_HOSTING_WINDOW_SOURCES "")
  set(VELMORA_HOSTING_WINDOW_LIBS "")
  set(VELMORA_HAS_HOST_WINDOW OFF)
  set(VELMORA_HOST_PLATFORM_SOURCES ${_src}/tools/support/platform/win32/HostPlatform.cpp)
  # CommandLineToArgvW and the known folders (UTF-16 file names and system messages: velmora_base).
  set(VELMORA_HOST_PLATFORM_LIBS shell32 ole32)
  # The Windows build has no editor window of the host's own yet, and says so.
  set(VELMORA_HOST_EDIT_SOURCES ${_src}/tools/velmora-host/platform/win32/EditCommandUnavailable.cpp)
  set(VELMORA_HOST_EDIT_LIBS "")

  set(VELMORA_RUNS_UNDER_WINE ${CMAKE_CROSSCOMPILING})
  set(VELMORA_RESOURCES_IN_MODULE ON)
  # A Windows module allocates through its own C runtime, linked in.
  set(VELMORA_MODULE_SHARES_C_RUNTIME OFF)
  set(VELMORA_WINDOWS_PACKAGE ON)

  # The tests with a Windows side (windows/: the Windows face as a whole); the rest is the same
  # code the Linux builds test.
  set(VELMORA_TEST_DIRS ${_common_test_dirs} windows window)
  set(VELMORA_WINDOW_TEST_PLATFORM_DIR platform/win32)
  set(VELMORA_BITMAP_TEST_PLATFORM_SOURCES ${_src}/tests/bitmap/platform/win32/GdiFontTest.cpp
      ${_src}/tests/bitmap/platform/win32/ModuleResourcesTest.cpp ${_src}/tests/bitmap/platform/win32/TestResources.rc)
  set(VELMORA_BITMAP_TEST_PLATFORM_LIBS velmora_definition)
  set(VELMORA_VST3_TEST_PLATFORM_SOURCES ${_src}/tests/vst3/platform/win32/ModuleInstanceTest.cpp
      ${_src}/tests/vst3/platform/win32/UiThread.cpp)
  set(VELMORA_VST3HOST_TEST_PLATFORM_SOURCES "")

  # The cross-built third-party libraries, found like system libraries.
  include(WindowsThirdParty)
else()
  find_package(Freetype REQUIRED)
  find_package(Fontconfig REQUIRED)
  set(VELMORA_BASE_PLATFORM_SOURCES ${_src}/base/platform/linux/FileSystem.cpp)
  set(VELMORA_BITMAP_PLATFORM_SOURCES
    ${PROJECT_SOURCE_DIR}/bitmap/platform/linux/LICE_SysSurfaceMemory.cpp
    ${PROJECT_SOURCE_DIR}/bitmap/platform/linux/LICE_FontPlatformFreeType.cpp)
  set(VELMORA_BITMAP_PLATFORM_LIBS Freetype::Freetype Fontconfig::Fontconfig)
  if(VELMORA_PLATFORM STREQUAL "x11")
    # The editor opens an X11 child window in the host's window (xcb, with MIT-SHM where the server
    # offers it) and runs in the host's run loop, which the view gets from the host's frame.
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(VELMORA_XCB REQUIRED IMPORTED_TARGET xcb xcb-shm)
    set(_x11 ${PROJECT_SOURCE_DIR}/framework/graphics/platform/x11)
    set(VELMORA_GRAPHICS_PLATFORM_SOURCES
      ${_x11}/IGraphicsX11.cpp
      ${_x11}/MakePlatformGraphics.cpp
      ${_x11}/X11ImageWriter.cpp
      ${_x11}/X11Keys.cpp
      ${_x11}/X11OwnWindow.cpp
      ${_x11}/X11PixelFormat.cpp
      ${_x11}/X11PopupMenu.cpp
      ${_x11}/X11TextEntry.cpp
      ${_x11}/X11XEmbed.cpp)
    unset(_x11)
    set(VELMORA_GRAPHICS_PLATFORM_LIBS PkgConfig::VELMORA_XCB)
  else()
    # No window system at all: the editor is the off-screen class, which draws into memory
    # bitmaps (velmora-snapshot's pictures, the tests); a host asking for a window gets none.
    set(VELMORA_GRAPHICS_PLATFORM_SOURCES ${_src}/framework/graphics/platform/headless/MakePlatformGraphics.cpp)
    set(VELMORA_GRAPHICS_PLATFORM_LIBS "")
  endif()
  set(VELMORA_VST3_PLATFORM_SOURCES ${PROJECT_SOURCE_DIR}/framework/vst3/platform/linux/HostRunLoop.cpp
                                    ${PROJECT_SOURCE_DIR}/framework/vst3/platform/linux/UiThreadTimer.cpp)
  set(VELMORA_VST3_PLATFORM_LIBS "")

  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    set(VELMORA_VST3_ARCH "x86_64-linux")
  elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
    set(VELMORA_VST3_ARCH "aarch64-linux")
  else()
    set(VELMORA_VST3_ARCH "${CMAKE_SYSTEM_PROCESSOR}-linux")
  endif()

  # A shared object with ModuleEntry / ModuleExit. Static libraries inside the module keep their
  # symbols to themselves, only the version script's names are exported, and nothing may stay
  # unresolved until load time.
  function(velmora_platform_module target exports)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/framework/vst3/platform/linux/LinuxModuleEntry.cpp)
    set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".so" LINK_DEPENDS "${exports}")
    target_link_options(${target} PRIVATE "LINKER:--version-script=${exports}" "LINKER:--exclude-libs,ALL"
                        "LINKER:--no-undefined")
  endfunction()
  set(VELMORA_DEFAULT_MODULE_EXPORTS ${PROJECT_SOURCE_DIR}/framework/vst3/platform/linux/module-exports.map)
  set(VELMORA_MODULE_SUFFIX ".so")
  set(VELMORA_VST3SDK_PLATFORM_LIBS "")

  # Linux::IRunLoop on poll: what Linux hosts give editors.
  set(VELMORA_HOSTING_PLATFORM_SOURCES ${_src}/tools/vst3host/platform/linux/ModuleLibrary.cpp ${_src}/tools/vst3host/platform/linux/RunLoop.cpp)
  set(VELMORA_HOST_PLATFORM_SOURCES ${_src}/tools/support/platform/linux/HostPlatform.cpp)
  set(VELMORA_HOST_PLATFORM_LIBS "")

  set(VELMORA_RUNS_UNDER_WINE OFF)
  set(VELMORA_RESOURCES_IN_MODULE OFF)
  set(VELMORA_MODULE_SHARES_C_RUNTIME ON)
  set(VELMORA_WINDOWS_PACKAGE OFF)

  set(VELMORA_TEST_DIRS ${_common_test_dirs} framework graphics plugin vst3host levelplot velmora-snapshot
      velmora-host fuzz moduleinfo factory-presets ardour)
  set(VELMORA_BITMAP_TEST_PLATFORM_SOURCES ${_src}/tests/bitmap/platform/linux/FontTest.cpp)
  set(VELMORA_BITMAP_TEST_PLATFORM_LIBS "")
  set(VELMORA_VST3_TEST_PLATFORM_SOURCES ${_src}/tests/vst3/platform/linux/UiThread.cpp)
  # The run loop Linux hosts offer editors.
  set(VELMORA_VST3HOST_TEST_PLATFORM_SOURCES ${_src}/tests/vst3host/RunLoopTest.cpp)

  if(VELMORA_PLATFORM STREQUAL "headless")
    set(VELMORA_HOSTING_WINDOW_SOURCES "")
    set(VELMORA_HOSTING_WINDOW_LIBS "")
    set(VELMORA_HAS_HOST_WINDOW OFF)
    set(VELMORA_HOST_EDIT_SOURCES ${_src}/tools/velmora-host/platform/headless/EditCommandUnavailable.cpp)
    set(VELMORA_HOST_EDIT_LIBS "")
  else()
    # A host's X11 window for editors to embed in, on a display connection of its own: what the
    # Linux test host and `velmora-host edit` open.
    set(VELMORA_HOSTING_WINDOW_SOURCES ${_src}/tools/vst3host/platform/x11/HostWindow.cpp ${_src}/tools/vst3host/platform/x11/XEmbedEmbedder.cpp)
    set(VELMORA_HOSTING_WINDOW_LIBS PkgConfig::VELMORA_XCB)
    set(VELMORA_HAS_HOST_WINDOW ON)
    set(VELMORA_HOST_EDIT_SOURCES ${_src}/tools/velmora-host/platform/x11/EditCommand.cpp)
    set(VELMORA_HOST_EDIT_LIBS velmora_vst3host_x11)
    list(APPEND VELMORA_TEST_DIRS window)
    set(VELMORA_WINDOW_TEST_PLATFORM_DIR platform/x11)
  endif()
endif()
unset(_src)
unset(_common_test_dirs)
