list(APPEND BRANTEL_SOURCES
  distributions/vq_integrals.cpp
  distributions/vq_stencils.cpp
  distributions/vq_walk.cpp
  distributions/vq_walk_1d.cpp
  distributions/vq_distribution1d.cpp
)
# Installed for model libraries built against this one.
list(APPEND BRANTEL_PUBLIC_HEADERS
  distributions/vq_distribution1d.h
)
