# Installs the project into a prefix inside the build tree, then configures
# and builds the example model library against that prefix alone, as a
# model library's author would. Run by CTest with cmake -P:
#   BUILD_DIR       the project's build tree
#   PREFIX          the install prefix
#   EXAMPLE_SOURCE  the example project
#   EXAMPLE_BUILD   its build tree (made afresh)
#   SOURCE_DIR      the project's sources, which the example must not reach
#   GENERATOR, BUILD_TYPE, CXX_COMPILER, CXX_FLAGS, LINKER_FLAGS
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${status}): ${command}")
  endif()
endfunction()

file(REMOVE_RECURSE ${PREFIX} ${EXAMPLE_BUILD})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})
run(${CMAKE_COMMAND} -S ${EXAMPLE_SOURCE} -B ${EXAMPLE_BUILD} -G ${GENERATOR}
  -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
  -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
  "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
  "-DCMAKE_SHARED_LINKER_FLAGS=${LINKER_FLAGS}"
  -DCMAKE_PREFIX_PATH=${PREFIX}
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
  -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)
run(${CMAKE_COMMAND} --build ${EXAMPLE_BUILD})

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
