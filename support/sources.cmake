list(APPEND BRANTEL_SOURCES
  support/vq_allocation.cpp
  support/vq_module.cpp
  support/vq_array_bases.cpp
  support/vq_instances.cpp
)
# Installed for model libraries built against this one.
list(APPEND BRANTEL_PUBLIC_HEADERS
  support/vq_array_bases.h
  support/vq_arrays.h
  support/vq_instances.h
  support/vq_module_data.h
  support/vq_module_frame.h
  support/vq_references.h
  support/vq_templates_impl.h
)
