include_guard(GLOBAL)
# The Windows user's package: Velmora-<version>-win64.zip with the Velmora.vst3 bundle (its DLL
# without debug information) and a read-me, to be unpacked into C:\Program Files\Common Files\VST3.
#
#   cmake --build build-win --target win64-zip

get_target_property(_bundle velmora_module VST3_BUNDLE_DIR)
get_filename_component(_bundle_name ${_bundle} NAME)
set(_stage ${CMAKE_BINARY_DIR}/win64-zip)
set(_zip ${CMAKE_BINARY_DIR}/Velmora-${PROJECT_VERSION}-win64.zip)
# The read-me lands in the shared VST3 folder beside the bundle, so its name says whose it is.
set(_readme_name "Velmora ReadMe.txt")
set(_readme "${CMAKE_BINARY_DIR}/${_readme_name}")
# Notepad wants CRLF line ends.
configure_file("${PROJECT_SOURCE_DIR}/tools/windows/${_readme_name}.in" ${_readme} @ONLY NEWLINE_STYLE CRLF)

set(_inner ${_bundle_name}/Contents/x86_64-win/$<TARGET_FILE_NAME:velmora_module>)
add_custom_command(
  OUTPUT ${_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_stage} ${_zip}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}/${_bundle_name}/Contents/x86_64-win
  # Fixed time stamps (objcopy writes one into the DLL's header, zip one per file) and no extra
  # file attributes, so the same build gives the same archive.
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=946684800
          ${CMAKE_OBJCOPY} --strip-debug $<TARGET_FILE:velmora_module> ${_stage}/${_inner}
  COMMAND ${CMAKE_COMMAND} -E copy ${_readme} ${_stage}/${_readme_name}
  COMMAND touch -d @946684800 ${_stage}/${_readme_name} ${_stage}/${_inner}
  COMMAND ${CMAKE_COMMAND} -E chdir ${_stage} ${CMAKE_COMMAND} -E env TZ=UTC
          zip -q -X -D ${_zip} ${_readme_name} ${_inner}
  DEPENDS velmora_module ${_readme}
  COMMENT "Packing ${_zip}"
  VERBATIM)
# Part of every build, so the tests can install it (it takes a second).
add_custom_target(win64-zip ALL DEPENDS ${_zip})
set(VELMORA_WIN64_ZIP ${_zip} CACHE INTERNAL "The Windows user's package")
unset(_bundle)
unset(_bundle_name)
unset(_stage)
unset(_zip)
unset(_readme)
unset(_readme_name)
unset(_inner)
