list(APPEND BRANTEL_SOURCES
  connectivity/vq_ports.cpp
  connectivity/vq_generic.cpp
  connectivity/vq_multiports.cpp
  connectivity/vq_signals.cpp
  connectivity/vq_interp.cpp
)
