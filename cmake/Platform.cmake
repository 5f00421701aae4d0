include_guard(GLOBAL)
# The one place the build chooses what the target platform supplies. Everything above the seams
# named here is platform-neutral and built the same everywhere.
#
#   VELMORA_BITMAP_PLATFORM_SOURCES / _LIBS   the drawing surface behind LICE_SysSurface.h and the
#                                             fonts behind LICE_FontPlatform.h (bitmap/)
#   VELMORA_GRAPHICS_PLATFORM_SOURCES / _LIBS the editor's platform class and the
#                                             MakePlatformGraphics that makes it, from one folder
#                                             under framework/graphics/platform/
#   VELMORA_GRAPHICS_RESOURCE_SOURCES         where the graphics core finds embedded images when
#                                             they are not compiled in (a module's resources)
#   VELMORA_VST3_PLATFORM_SOURCES             the binding's side of the host's event loop
#                                             (ConnectHostRunLoop, framework/vst3/HostRunLoop.h;
#                                             StartUiThreadTimer, framework/vst3/UiThreadTimer.h)
#   VELMORA_VST3_PLATFORM_LIBS                what those sources link
#   VELMORA_VST3_ARCH                         the bundle's binary folder, e.g. "x86_64-linux"
#   VELMORA_AVX2_EXTRA_FLAGS                  what the maths kernel's AVX2 file needs besides -mavx2
#   velmora_platform_module(<target> <exports map>)
#                                             the module entry flavour: entry points, binary name,
#                                             and which symbols the module exports

if(WIN32)
  # Windows (cross-built with mingw-w64): DIB sections in memory device contexts and GDI fonts
  # for the bitmap layer, PNG images from a module's resource section, file names through the
  # wide-character calls, and the DLL entry. The editor is a Win32 child window in the host's
  # window, run by the host's message loop.
  set(VELMORA_BITMAP_PLATFORM_SOURCES
    ${PROJECT_SOURCE_DIR}/bitmap/LICE_SysSurfaceGdi.cpp
    ${PROJECT_SOURCE_DIR}/bitmap/LICE_FontPlatformGdi.cpp
    ${PROJECT_SOURCE_DIR}/bitmap/LICE_ModuleResourcesWin.cpp
    ${PROJECT_SOURCE_DIR}/bitmap/LICE_FileSystemWin.cpp)
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
else()
  find_package(Freetype REQUIRED)
  find_package(Fontconfig REQUIRED)
  set(VELMORA_BITMAP_PLATFORM_SOURCES
    ${PROJECT_SOURCE_DIR}/bitmap/LICE_SysSurfaceMemory.cpp
    ${PROJECT_SOURCE_DIR}/bitmap/LICE_FontPlatformFreeType.cpp
    ${PROJECT_SOURCE_DIR}/bitmap/LICE_FileSystemPosix.cpp)
  set(VELMORA_BITMAP_PLATFORM_LIBS Freetype::Freetype Fontconfig::Fontconfig)
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
endif()
