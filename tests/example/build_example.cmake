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

# The package alone: nothing the example compiles with points into a folder
# of the project, but the example's own and the one that holds the prefix.
file(READ ${EXAMPLE_BUILD}/compile_commands.json commands)
file(GLOB folders LIST_DIRECTORIES true ${SOURCE_DIR}/*)
foreach(folder IN LISTS folders)
  cmake_path(IS_PREFIX folder ${EXAMPLE_SOURCE} holds_example)
  cmake_path(IS_PREFIX folder ${PREFIX} holds_prefix)
  if(IS_DIRECTORY ${folder} AND NOT holds_example AND NOT holds_prefix)
    string(FIND "${commands}" "${folder}/" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "the example's compile commands reach into ${folder}")
    endif()
  endif()
endforeach()
