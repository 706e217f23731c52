# Factories that support/Brantel300_1.def lists but the library does not
# define yet: the two- and three-dimensional distributions come with their
# folders. The Windows link leaves them out; the PE test expects them absent.
set(BRANTEL_PENDING_FACTORIES)
foreach(dim 2 3)
  if(NOT EXISTS ${PROJECT_SOURCE_DIR}/distribution${dim}d/sources.cmake)
    list(APPEND BRANTEL_PENDING_FACTORIES DISTRIBUTION${dim}DFactory)
  endif()
endforeach()
