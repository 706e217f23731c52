list(APPEND BRANTEL_SOURCES
  distribution2d/vq_walk_2d.cpp
  distribution2d/vq_distribution2d.cpp
)
# Installed for model libraries built against this one.
list(APPEND BRANTEL_PUBLIC_HEADERS
  distribution2d/vq_distribution2d.h
)
