#pragma once
// The multiport base: a port that stands for any number of named
// connections. The base keeps the set of connection names and does the
// connecting; the multiport type supplies the connection ports.
#include "vq_container.h"

class KYV_API VQ_MULTIPORT_BaseType : public VQ_PortType {
 public:
  // Every multiport answers to this signature, whatever its port type.
  static const char* VQ_ContainerId();

  VQ_MULTIPORT_BaseType();
  VQ_MULTIPORT_BaseType(const VQ_MULTIPORT_BaseType& other) = delete;
  // Copies the connection names.
  VQ_MULTIPORT_BaseType& operator=(const VQ_MULTIPORT_BaseType& other);
  ~VQ_MULTIPORT_BaseType() override;

  const char* VQ_DefaultDESCRIPTION() const override;
  bool IsAMultiport() const override;

  // The names of the connections, a string set; the connection ports are
  // indexed by it.
  VQ_STRINGSET& ConnectionNames();
  const VQ_STRINGSET& ConnectionNames() const;

  // The port of the connection `name`, made when the name is not a
  // connection yet; VQ_Error naming the multiport and the name when it
  // cannot be made. `flags` go with the new name into the name set.
  virtual VQ_PortType* Connect(const char* name, unsigned int flags);
  // Takes `name` out of the connections; false when it was none. Its port
  // stays with the multiport and serves again when the name is reconnected.
  virtual bool Disconnect(const char* name);

  // Supplied by the multiport type: the port of a new connection, and the
  // port of an existing one; null when there is none. The base has none.
  virtual VQ_PortType* CreateConnectionPort(const char* name, unsigned int flags);
  virtual VQ_PortType* FindConnectionPort(const char* name);

 private:
  VQ_STRINGSET m_ConnectionNames;
};
