list(APPEND BRANTEL_SOURCES
  support/vq_allocation.cpp
  support/vq_module.cpp
  support/vq_array_bases.cpp
  support/vq_instances.cpp
)
