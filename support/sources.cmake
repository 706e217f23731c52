list(APPEND BRANTEL_SOURCES
  support/vq_allocation.cpp
  support/vq_module.cpp
)
