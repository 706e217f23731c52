list(APPEND BRANTEL_SOURCES
  distribution3d/vq_walk_3d.cpp
  distribution3d/vq_distribution3d.cpp
)
# Installed for model libraries built against this one.
list(APPEND BRANTEL_PUBLIC_HEADERS
  distribution3d/vq_distribution3d.h
)
