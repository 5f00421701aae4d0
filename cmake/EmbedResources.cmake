include_guard(GLOBAL)
# velmora_embed_resources(<target> FUNCTION <name> TYPE <type> RESOURCES <id> <file> ...)
#
# Makes a static library <target> holding the files as byte arrays, with a generated header
# <name>.h declaring `const EmbeddedResourceTable& <name>()`. Every listed file must exist: a
# module without one of its resources must not build. The byte arrays are written by the build
# tool velmora_embed (tools/embed-resources).

function(velmora_embed_resources target)
  cmake_parse_arguments(E "" "FUNCTION;TYPE" "RESOURCES" ${ARGN})
  set(outDir ${CMAKE_CURRENT_BINARY_DIR}/${target})
  set(outCpp ${outDir}/${E_FUNCTION}.cpp)
  set(outH ${outDir}/${E_FUNCTION}.h)
  set(args)
  set(deps)
  list(LENGTH E_RESOURCES n)
  math(EXPR last "${n} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET E_RESOURCES ${i} id)
    list(GET E_RESOURCES ${j} file)
    if(NOT EXISTS ${file})
      message(FATAL_ERROR "${target}: resource ${id} (${file}) is missing")
    endif()
    list(APPEND args ${id} ${file})
    list(APPEND deps ${file})
  endforeach()

  file(MAKE_DIRECTORY ${outDir})
  add_custom_command(
    OUTPUT ${outCpp} ${outH}
    COMMAND velmora_embed ${outCpp} ${outH} ${E_FUNCTION} ${E_TYPE} ${args}
    DEPENDS velmora_embed ${deps}
    COMMENT "Embedding ${E_TYPE} resources into ${target}"
    VERBATIM)
  add_library(${target} STATIC ${outCpp} ${outH})
  target_include_directories(${target} PUBLIC ${outDir} ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC velmora_graphics)
endfunction()
