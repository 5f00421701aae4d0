include_guard(GLOBAL)
# The Windows user's package: Velmora-<version>-win64.zip with the Velmora.vst3 bundle (its DLL
# without debug information, its module info and browser pictures), the factory presets in
# "Velmora Presets/<vendor>/<plug-in name>/" and a read-me, to be unpacked into
# C:\Program Files\Common Files\VST3; the presets go on to Documents\VST3 Presets.
#
#   cmake --build build-win --target win64-zip

get_target_property(_bundle velmora_module VST3_BUNDLE_DIR)
get_filename_component(_bundle_name ${_bundle} NAME)
set(_stage ${CMAKE_BINARY_DIR}/win64-zip)
set(_zip ${CMAKE_BINARY_DIR}/Velmora-${PROJECT_VERSION}-win64.zip)
# The read-me lands in the shared VST3 folder beside the bundle, so its name says whose it is.
set(_readme_name "Velmora ReadMe.txt")
set(_readme "${CMAKE_BINARY_DIR}/${_readme_name}")
set(_presets_name "Velmora Presets")
# Notepad wants CRLF line ends.
configure_file("${PROJECT_SOURCE_DIR}/tools/windows/${_readme_name}.in" ${_readme} @ONLY NEWLINE_STYLE CRLF)

set(_inner ${_bundle_name}/Contents/x86_64-win/$<TARGET_FILE_NAME:velmora_module>)
add_custom_command(
  OUTPUT ${_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_stage} ${_zip}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}/${_bundle_name}/Contents/x86_64-win
  # Fixed time stamps (objcopy writes one into the DLL's header, zip one per file), no extra file
  # attributes and the files in sorted order, so the same build gives the same archive.
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=946684800
          ${CMAKE_OBJCOPY} --strip-debug $<TARGET_FILE:velmora_module> ${_stage}/${_inner}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${_bundle}/Contents/Resources ${_stage}/${_bundle_name}/Contents/Resources
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${VELMORA_FACTORY_PRESET_ROOT} ${_stage}/${_presets_name}
  COMMAND ${CMAKE_COMMAND} -E copy ${_readme} ${_stage}/${_readme_name}
  COMMAND find ${_stage} -type f -exec touch -d @946684800 {} +
  COMMAND ${CMAKE_COMMAND} -E chdir ${_stage} sh -c "find . -type f | cut -c3- | LC_ALL=C sort | TZ=UTC zip -q -X -D '${_zip}' -@"
  DEPENDS velmora_module ${_readme} ${_bundle}/Contents/Resources/moduleinfo.json
          ${CMAKE_BINARY_DIR}/tools/velmora_factory_presets.stamp
  COMMENT "Packing ${_zip}"
  VERBATIM)
# Part of every build, so the tests can install it (it takes a second).
add_custom_target(win64-zip ALL DEPENDS ${_zip})
add_dependencies(win64-zip velmora_bundle_resources velmora_factory_presets)
set(VELMORA_WIN64_ZIP ${_zip} CACHE INTERNAL "The Windows user's package")
unset(_bundle)
unset(_bundle_name)
unset(_stage)
unset(_zip)
unset(_readme)
unset(_readme_name)
unset(_presets_name)
unset(_inner)
