# The unit tests cross-built for Windows, run under wine (Debian's wine with
# wine32): GoogleTest is built from Debian's sources with the cross compiler,
# each test program sits beside the DLLs it loads, as it would be deployed,
# and runs whole as one CTest test in a wine prefix of the build's own.
option(BRANTEL_WINE_TESTS "Build the unit tests for Windows and run them under wine" ON)
set(BRANTEL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
find_program(BRANTEL_WINE wine)
if(BRANTEL_WINE_TESTS AND (NOT BRANTEL_WINE OR NOT EXISTS ${BRANTEL_GOOGLETEST_SOURCE}/CMakeLists.txt))
  message(STATUS "wine or the GoogleTest sources not found; the Windows unit tests are not built")
  set(BRANTEL_WINE_TESTS OFF)
endif()
if(NOT BRANTEL_WINE_TESTS)
  return()
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${BRANTEL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The GNU runtime DLLs the modules link against, beside them.
foreach(dll libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(COPY ${path} DESTINATION ${CMAKE_BINARY_DIR})
endforeach()

set(BRANTEL_WINE_ENVIRONMENT
  WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=)
# The prefix is made once, before the first program runs in it.
add_test(NAME wine_prefix COMMAND ${BRANTEL_WINE} wineboot --init)
set_tests_properties(wine_prefix PROPERTIES
  ENVIRONMENT "${BRANTEL_WINE_ENVIRONMENT}" FIXTURES_SETUP wine_prefix LABELS windows)

# Wine's own paths: the drive Z: is the root of the file system.
set(BRANTEL_WINE_BINARY_DIR Z:${CMAKE_BINARY_DIR})

# Every program runs whole under wine; its part's label goes with the
# windows label.
function(brantel_add_tests target label)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  add_test(NAME ${target} COMMAND ${BRANTEL_WINE} $<TARGET_FILE:${target}>)
  set_tests_properties(${target} PROPERTIES
    ENVIRONMENT "${BRANTEL_WINE_ENVIRONMENT}" FIXTURES_REQUIRED wine_prefix LABELS "windows;${label}")
endfunction()
