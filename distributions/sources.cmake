list(APPEND BRANTEL_SOURCES
  distributions/vq_integrals.cpp
  distributions/vq_stencils.cpp
  distributions/vq_walk.cpp
  distributions/vq_walk_1d.cpp
  distributions/vq_distribution1d.cpp
)
