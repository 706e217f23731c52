list(APPEND BRANTEL_SOURCES
  domains/vq_methods.cpp
  domains/vq_domain_parameters.cpp
  domains/vq_section.cpp
  domains/vq_domain.cpp
  domains/vq_domain_grid.cpp
  domains/vq_grid_faults.cpp
  domains/vq_length_angle.cpp
)
# Installed for model libraries built against this one.
list(APPEND BRANTEL_PUBLIC_HEADERS
  domains/vq_assignments.h
  domains/vq_domain.h
  domains/vq_domain_parameters.h
  domains/vq_length_angle.h
  domains/vq_section.h
)
