include_guard(GLOBAL)
# What a module ships besides its binary, generated at build time by the module and the plug-in
# themselves. Both functions take the tools as targets of this build. The Windows cross build's
# tools load the Windows module, so they run under Wine, each in a session of its own
# (tools/windows/wine-session.sh with the build's private prefix and display), one at a time, and
# are handed paths as Wine shows them (drive Z:).
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

# <var>: the command that runs <tool target> on the build machine.
function(_velmora_build_tool_command var tool)
  if(VELMORA_RUNS_UNDER_WINE)
    set(${var} "${PROJECT_SOURCE_DIR}/tools/windows/wine-session.sh" "${CMAKE_BINARY_DIR}/wine-prefix"
               "${PROJECT_SOURCE_DIR}/tools/windows/wine-run.sh" "$<TARGET_FILE:${tool}>" PARENT_SCOPE)
  else()
    set(${var} ${tool} PARENT_SCOPE)
  endif()
endfunction()

# <var>: <path> as the build's tools see it.
function(_velmora_build_tool_path var path)
  if(VELMORA_RUNS_UNDER_WINE)
    string(REPLACE "/" "\\" path "${path}")
    set(path "Z:${path}")
  endif()
  set(${var} "${path}" PARENT_SCOPE)
endfunction()

function(velmora_add_bundle_resources target)
  cmake_parse_arguments(R "" "MODULE;SNAPSHOT_TOOL;INFO_TOOL;INSTALL_DIR" "" ${ARGN})
  get_target_property(bundle ${R_MODULE} VST3_BUNDLE_DIR)
  set(resources "${bundle}/Contents/Resources")
  _velmora_build_tool_command(snapshot_tool ${R_SNAPSHOT_TOOL})
  _velmora_build_tool_command(info_tool ${R_INFO_TOOL})
  _velmora_build_tool_path(bundle_arg "${bundle}")
  # The pictures are named after the class id, which only the plug-in knows; a stamp stands for them.
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}-snapshots.stamp")
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${snapshot_tool} --bundle "${bundle_arg}"
    COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
    DEPENDS ${R_SNAPSHOT_TOOL} ${R_MODULE}
    COMMENT "Painting the browser pictures of ${bundle}"
    VERBATIM)
  add_custom_command(OUTPUT "${resources}/moduleinfo.json"
    COMMAND ${info_tool} "${bundle_arg}"
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
  _velmora_build_tool_command(tool ${P_TOOL})
  _velmora_build_tool_path(bundle_arg "${bundle}")
  _velmora_build_tool_path(output_arg "${P_OUTPUT_DIR}")
  # The file names come from the preset table; a stamp stands for them.
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}.stamp")
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${tool} "${output_arg}" --module "${bundle_arg}"
    COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
    DEPENDS ${P_TOOL} ${P_MODULE}
    COMMENT "Writing the factory presets into ${P_OUTPUT_DIR}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${stamp}")
  if(P_INSTALL_DIR)
    install(DIRECTORY "${P_OUTPUT_DIR}/" DESTINATION "${P_INSTALL_DIR}")
  endif()
endfunction()
