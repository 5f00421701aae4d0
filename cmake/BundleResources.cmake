include_guard(GLOBAL)
# What a module ships besides its binary, generated at build time by the module and the plug-in
# themselves. Both functions take the tools as targets of this build; a cross build's tools run
# through CMAKE_CROSSCOMPILING_EMULATOR (Wine for a Windows bundle), which CMake puts in front of
# a target named as a custom command.
#
# velmora_add_bundle_resources(<target> MODULE <module target> SNAPSHOT_TOOL <target>
#                              INFO_TOOL <target> [INSTALL_DIR <bundle folder to install into>])
#   Into the module's bundle folder (its VST3_BUNDLE_DIR): the browser pictures hosts show
#   (Contents/Resources/Snapshots/<class id>_snapshot.png and _snapshot_2.0x.png, painted by
#   `SNAPSHOT_TOOL --bundle`), then the module info hosts read instead of loading the module
#   (Contents/Resources/moduleinfo.json, written by `INFO_TOOL BUNDLE` from the built module's
#   factory, listing the pictures). With INSTALL_DIR, cmake --install copies Contents/Resources.
#
# velmora_add_factory_presets(<target> MODULE <module target> TOOL <target> OUTPUT_DIR <root>
#                             [INSTALL_DIR <preset root to install into>])
#   The factory presets, written by `TOOL ROOT --module BUNDLE` from the built module as
#   <root>/<vendor>/<plug-in name>/*.vstpreset. With INSTALL_DIR, cmake --install copies the
#   vendor folders there.

function(velmora_add_bundle_resources target)
  cmake_parse_arguments(R "" "MODULE;SNAPSHOT_TOOL;INFO_TOOL;INSTALL_DIR" "" ${ARGN})
  get_target_property(bundle ${R_MODULE} VST3_BUNDLE_DIR)
  set(resources "${bundle}/Contents/Resources")
  # The pictures are named after the class id, which only the plug-in knows; a stamp stands for them.
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}-snapshots.stamp")
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${R_SNAPSHOT_TOOL} --bundle "${bundle}"
    COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
    DEPENDS ${R_SNAPSHOT_TOOL} ${R_MODULE}
    COMMENT "Painting the browser pictures of ${bundle}"
    VERBATIM)
  add_custom_command(OUTPUT "${resources}/moduleinfo.json"
    COMMAND ${R_INFO_TOOL} "${bundle}"
    DEPENDS ${R_INFO_TOOL} ${R_MODULE} "${stamp}"
    COMMENT "Writing the module info of ${bundle}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${resources}/moduleinfo.json")
  if(R_INSTALL_DIR)
    install(DIRECTORY "${resources}" DESTINATION "${R_INSTALL_DIR}/Contents")
  endif()
endfunction()

function(velmora_add_factory_presets target)
  cmake_parse_arguments(P "" "MODULE;TOOL;OUTPUT_DIR;INSTALL_DIR" "" ${ARGN})
  get_target_property(bundle ${P_MODULE} VST3_BUNDLE_DIR)
  # The file names come from the preset table; a stamp stands for them.
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}.stamp")
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${P_TOOL} "${P_OUTPUT_DIR}" --module "${bundle}"
    COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
    DEPENDS ${P_TOOL} ${P_MODULE}
    COMMENT "Writing the factory presets into ${P_OUTPUT_DIR}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${stamp}")
  if(P_INSTALL_DIR)
    install(DIRECTORY "${P_OUTPUT_DIR}/" DESTINATION "${P_INSTALL_DIR}")
  endif()
endfunction()
