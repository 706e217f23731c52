# Writes the module-definition file the Windows DLL is linked with: the
# plain exports of support/Brantel300_1.def that the objects define (a type
# whose factory is not built yet is left out, with a notice), and the
# library's C++ symbols chosen by the same rules that choose them on Linux
# (the extern "C++" patterns of support/exports.map). Runs before the DLL is
# linked, over its object files.
#
#   cmake -DNM=... -DLABEL_PREFIX=_ -DPLAIN=Brantel300_1.def -DRULES=exports.map
#         -DOBJECTS=objects.txt -DOUTPUT=out.def -P module_exports.cmake

cmake_minimum_required(VERSION 3.25)

foreach(var NM PLAIN RULES OBJECTS OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "module_exports: ${var} is not set")
  endif()
endforeach()

# The patterns of the version script's extern "C++" block, as one anchored
# regular expression over demangled names: * any text, ? one character, a
# quoted pattern literal.
file(READ "${RULES}" rules)
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" rules "${rules}")
if(NOT rules MATCHES "extern \"C\\+\\+\"[ \t\n]*{([^}]*)}")
  message(FATAL_ERROR "module_exports: no extern \"C++\" block in ${RULES}")
endif()
string(REGEX MATCHALL "[^;\n]+;" entries "${CMAKE_MATCH_1}")
set(patterns)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE ";$" "" entry "${entry}")
  string(STRIP "${entry}" entry)
  if(entry MATCHES "^\"(.*)\"$")
    string(REGEX REPLACE "([][.*+?^$()|\\\\])" "\\\\\\1" regex "${CMAKE_MATCH_1}")
  else()
    string(REGEX REPLACE "([][.+^$()|\\\\])" "\\\\\\1" regex "${entry}")
    string(REPLACE "*" ".*" regex "${regex}")
    string(REPLACE "?" "." regex "${regex}")
  endif()
  list(APPEND patterns "${regex}")
endforeach()
list(JOIN patterns "|" pattern)
set(pattern "^(${pattern})$")

# The global symbols each object defines, read twice in the same order:
# as they are and demangled.
function(run_nm demangle result)
  set(flags -g --defined-only -p)
  if(demangle)
    list(APPEND flags -C)
  endif()
  execute_process(COMMAND "${NM}" ${flags} ${objects} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "module_exports: ${NM} failed")
  endif()
  string(REPLACE ";" "\\;" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  list(FILTER text INCLUDE REGEX "^[0-9a-fA-F]+ . ")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

file(STRINGS "${OBJECTS}" objects)
run_nm(OFF mangled)
run_nm(ON demangled)
set(exports)
set(defined)
foreach(line readable IN ZIP_LISTS mangled demangled)
  string(REGEX MATCH "^[0-9a-fA-F]+ (.) ${LABEL_PREFIX}(.*)$" ignored "${line}")
  set(kind "${CMAKE_MATCH_1}")
  set(name "${CMAKE_MATCH_2}")
  list(APPEND defined "${name}")
  string(REGEX REPLACE "^[0-9a-fA-F]+ . " "" readable "${readable}")
  if(readable MATCHES "${pattern}")
    if(kind STREQUAL "T")
      list(APPEND exports "    ${name}")
    else()
      list(APPEND exports "    ${name} DATA")
    endif()
  endif()
endforeach()
list(REMOVE_DUPLICATES exports)
list(SORT exports)

# The plain exports, without the comment lines of their file (a semicolon
# would split a list) and without what the objects do not define.
file(READ "${PLAIN}" plain)
string(REGEX REPLACE "(^|\n)[ \t]*;[^\n]*" "" plain "${plain}")
string(REPLACE "\n" ";" plain "${plain}")
list(FILTER plain EXCLUDE REGEX "^[ \t]*$")
set(lines)
foreach(line IN LISTS plain)
  if(NOT line MATCHES "^[ \t]+([A-Za-z0-9_]+)")
    list(APPEND lines "${line}")
  elseif(CMAKE_MATCH_1 IN_LIST defined)
    list(APPEND lines "${line}")
  else()
    message(NOTICE "${PLAIN}: ${CMAKE_MATCH_1} is not built yet; left out of the exports")
  endif()
endforeach()
list(APPEND lines ${exports})
list(JOIN lines "\n" text)
string(APPEND text "\n")

if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
  if(previous STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${text}")
