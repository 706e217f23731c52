list(APPEND BRANTEL_SOURCES
  distribution3d/vq_walk_3d.cpp
  distribution3d/vq_distribution3d.cpp
)
