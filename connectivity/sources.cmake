list(APPEND BRANTEL_SOURCES
  connectivity/vq_ports.cpp
  connectivity/vq_generic.cpp
  connectivity/vq_multiports.cpp
  connectivity/vq_signals.cpp
  connectivity/vq_interp.cpp
)
# Installed for model libraries built against this one.
list(APPEND BRANTEL_PUBLIC_HEADERS
  connectivity/vq_generated.h
  connectivity/vq_generic.h
  connectivity/vq_interp.h
  connectivity/vq_multiports.h
  connectivity/vq_ports.h
  connectivity/vq_signals.h
)
