# The editor layout and the module's embedded panel images (resource ids 101..115, type PNG).
include(${PROJECT_SOURCE_DIR}/framework/graphics/EmbedResources.cmake)

set(img ${PROJECT_SOURCE_DIR}/resources/img)
velmora_embed_resources(velmora_resources FUNCTION VelmoraResources TYPE PNG RESOURCES
  101 ${img}/BG.png
  102 ${img}/BYPASS.png
  103 ${img}/CREC.png
  104 ${img}/CTHR.png
  105 ${img}/EXT.png
  106 ${img}/GAIN.png
  107 ${img}/HIGH.png
  108 ${img}/HPF.png
  109 ${img}/LREC.png
  110 ${img}/LTHR.png
  111 ${img}/METER.png
  112 ${img}/MID.png
  113 ${img}/MIX.png
  114 ${img}/RAT.png
  115 ${img}/GRSW.png
)

add_library(velmora_editor STATIC VelmoraEditor.cpp)
target_include_directories(velmora_editor PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(velmora_editor PUBLIC velmora_graphics velmora_resources velmora_framework)
velmora_warnings(velmora_editor)
