list(APPEND BRANTEL_SOURCES
  domains/vq_methods.cpp
  domains/vq_domain_parameters.cpp
  domains/vq_section.cpp
  domains/vq_domain.cpp
  domains/vq_domain_grid.cpp
  domains/vq_grid_faults.cpp
  domains/vq_length_angle.cpp
)
