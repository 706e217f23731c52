# Installs the project into a prefix inside the build tree, then configures
# and builds the example model library against that prefix alone, as a
# model library's author would. Run by CTest with cmake -P:
#   BUILD_DIR       the project's build tree
#   PREFIX          the install prefix
#   EXAMPLE_SOURCE  the example project
#   EXAMPLE_BUILD   its build tree (made afresh)
#   SOURCE_DIR      the project's sources, which the example must not reach
#   FAULTY_SOURCE, FAULTY_BUILD  the module of deliberate mistakes, built the
#                   same way; its lower-case export must not compile
#   GENERATOR, BUILD_TYPE, CXX_COMPILER, CXX_FLAGS, LINKER_FLAGS
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${status}): ${command}")
  endif()
endfunction()

# Configures and builds a project against the prefix alone.
function(build_against_prefix source build)
  run(${CMAKE_COMMAND} -S ${source} -B ${build} -G ${GENERATOR}
    -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
    -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
    "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    "-DCMAKE_SHARED_LINKER_FLAGS=${LINKER_FLAGS}"
    -DCMAKE_PREFIX_PATH=${PREFIX}
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
    -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)
  run(${CMAKE_COMMAND} --build ${build})
endfunction()

file(REMOVE_RECURSE ${PREFIX} ${EXAMPLE_BUILD} ${FAULTY_BUILD})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})
build_against_prefix(${EXAMPLE_SOURCE} ${EXAMPLE_BUILD})
build_against_prefix(${FAULTY_SOURCE} ${FAULTY_BUILD})

# The installed host drives the example without the build tree's help.
execute_process(COMMAND ${PREFIX}/bin/vqhost wallprofile --library ${EXAMPLE_BUILD}/libWallProfile.so
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE error)
if(NOT status EQUAL 0 OR NOT output MATCHES "^type: Model WALLPROFILE")
  message(FATAL_ERROR "the installed vqhost failed (${status}) on the example: ${error}")
endif()

# A type exported under a lower-case name would build and never be found:
# it must not compile, and the compiler must say why.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${FAULTY_BUILD} --target LowerCaseExport
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(status EQUAL 0)
  message(FATAL_ERROR "BRANTEL_EXPORT_TYPE(Rod) compiled")
endif()
if(NOT output MATCHES "BRANTEL_EXPORT_TYPE\\(Rod\\): an exported type's name is upper case")
  message(FATAL_ERROR "BRANTEL_EXPORT_TYPE(Rod) failed for another reason:\n${output}")
endif()

# The package alone: every folder the example is compiled to include from
# lies in the prefix, in the example's own folders, or outside the project.
file(READ ${EXAMPLE_BUILD}/compile_commands.json commands)
string(REGEX MATCHALL "(-I|-isystem |-iquote |-idirafter )[^ \"]+" flags "${commands}")
foreach(flag IN LISTS flags)
  string(REGEX REPLACE "^(-I|-isystem |-iquote |-idirafter )" "" folder "${flag}")
  cmake_path(ABSOLUTE_PATH folder BASE_DIRECTORY ${EXAMPLE_BUILD} NORMALIZE)
  set(allowed FALSE)
  foreach(place IN ITEMS ${PREFIX} ${EXAMPLE_SOURCE} ${EXAMPLE_BUILD})
    cmake_path(IS_PREFIX place ${folder} NORMALIZE inside)
    if(inside)
      set(allowed TRUE)
    endif()
  endforeach()
  foreach(place IN ITEMS ${SOURCE_DIR} ${BUILD_DIR})
    cmake_path(IS_PREFIX place ${folder} NORMALIZE inside)
    if(inside AND NOT allowed)
      message(FATAL_ERROR "the example includes from ${folder}, in the project rather than the install prefix")
    endif()
  endforeach()
endforeach()
