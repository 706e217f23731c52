list(APPEND BRANTEL_SOURCES
  distribution2d/vq_walk_2d.cpp
  distribution2d/vq_distribution2d.cpp
)
