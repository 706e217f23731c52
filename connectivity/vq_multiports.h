#pragma once
// Multiports: ports that stand for any number of named connections, one
// port of type T per connection name. The nine exported classes give the
// runtime an in, an out and an in-out multiport of each port type.
#include "vq_arrays.h"
#include "vq_ports.h"

template <class T>
class VQ_MULTIPORT : public VQ_MULTIPORT_BaseType {
 public:
  VQ_MULTIPORT();
  VQ_MULTIPORT(const VQ_MULTIPORT&) = delete;
  ~VQ_MULTIPORT() override;
  VQ_MULTIPORT& operator=(const VQ_MULTIPORT& other);
  VQ_MULTIPORT& operator*() { return *this; }

  void DumpStructure() override;
  // The multiport itself and its connection ports.
  int PortCount(bool flag) const override;
  // Running index 0 is the multiport itself, index k + 1 the k-th
  // connection port.
  VQ_Type* GetPort(int& index, bool flag) override;
  // Adds the name to the connections and returns its port; null, with
  // nothing made, for a null name or when the name set refuses the name.
  // When the port cannot be made the runtime's error passes on and the name
  // is taken out again.
  VQ_PortType* CreateConnectionPort(const char* name, unsigned int flags) override;
  // The port of a connection; null when the name is no connection.
  VQ_PortType* FindConnectionPort(const char* name) override;

  // The connection ports, by connection name.
  VQ_ARRAY_S<T, T> CONNECTION;
};

extern template class VQ_MULTIPORT<VQ_CONTROLPORT>;
extern template class VQ_MULTIPORT<VQ_GENERICPORT>;
extern template class VQ_MULTIPORT<VQ_CONNECTIONPORT>;

// The nine classes: name, port type.
#define BRANTEL_MULTIPORT_CLASSES(X)          \
  X(VQ_VQ_MICONTROLPORT, VQ_CONTROLPORT)       \
  X(VQ_VQ_MOCONTROLPORT, VQ_CONTROLPORT)       \
  X(VQ_VQ_MIOCONTROLPORT, VQ_CONTROLPORT)      \
  X(VQ_VQ_MIGENERICPORT, VQ_GENERICPORT)       \
  X(VQ_VQ_MOGENERICPORT, VQ_GENERICPORT)       \
  X(VQ_VQ_MIOGENERICPORT, VQ_GENERICPORT)      \
  X(VQ_VQ_MICONNECTIONPORT, VQ_CONNECTIONPORT) \
  X(VQ_VQ_MOCONNECTIONPORT, VQ_CONNECTIONPORT) \
  X(VQ_VQ_MIOCONNECTIONPORT, VQ_CONNECTIONPORT)

// Each adds nothing but its own identity to the multiport of its port type.
#define BRANTEL_DECLARE_MULTIPORT_CLASS(NAME, PORT) \
  class NAME : public VQ_MULTIPORT<PORT> {          \
   public:                                          \
    NAME();                                         \
    ~NAME() override;                               \
    NAME& operator=(const NAME& other);             \
    NAME& operator*() { return *this; }             \
  };
BRANTEL_MULTIPORT_CLASSES(BRANTEL_DECLARE_MULTIPORT_CLASS)
#undef BRANTEL_DECLARE_MULTIPORT_CLASS
