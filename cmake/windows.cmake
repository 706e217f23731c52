# The Windows side of the build (included from the top level when the
# target is Windows): the runtime kyvexp.dll, the library Brantel300_1.dll
# and the procedure library Dornvale.dll, named as they are deployed, with
# the library's exports, its version block and its content resource.
enable_language(RC)

set_target_properties(kyvexp Brantel300_1 PROPERTIES PREFIX "" IMPORT_PREFIX "")

target_sources(Brantel300_1 PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/support/vq_dll_entry.cpp ${CMAKE_CURRENT_SOURCE_DIR}/support/Brantel300_1.rc)

# The module-definition file: the plain exports of support/Brantel300_1.def
# and the library's classes, chosen by the rules of exports.map from the
# object files right before the link.
set(BRANTEL_PLAIN_EXPORTS ${CMAKE_CURRENT_SOURCE_DIR}/support/Brantel300_1.def)
set(BRANTEL_EXPORT_SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/cmake/module_exports.cmake)
set(BRANTEL_MODULE_DEF ${CMAKE_CURRENT_BINARY_DIR}/Brantel300_1.def)
file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/Brantel300_1.objects
  CONTENT "$<JOIN:$<TARGET_OBJECTS:Brantel300_1>,\n>\n")
add_custom_command(TARGET Brantel300_1 PRE_LINK
  COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DLABEL_PREFIX=_
    -DPLAIN=${BRANTEL_PLAIN_EXPORTS} -DRULES=${BRANTEL_EXPORTS}
    -DOBJECTS=${CMAKE_CURRENT_BINARY_DIR}/Brantel300_1.objects
    -DOUTPUT=${BRANTEL_MODULE_DEF} -P ${BRANTEL_EXPORT_SCRIPT}
  VERBATIM)
target_link_options(Brantel300_1 PRIVATE ${BRANTEL_MODULE_DEF})
set_target_properties(Brantel300_1 PROPERTIES
  LINK_DEPENDS "${BRANTEL_PLAIN_EXPORTS};${BRANTEL_EXPORTS};${BRANTEL_EXPORT_SCRIPT}")
