#pragma once
// Port types.
#include "vq_generated.h"

// The signal port: no properties of its own.
class VQ_CONTROLPORT : public VQ_GeneratedLevel<VQ_CONTROLPORT, VQ_PortTypeEx> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_CONTROLPORT(bool bConstruct = true);
  ~VQ_CONTROLPORT() override;
  VQ_CONTROLPORT& operator=(const VQ_CONTROLPORT& other);
  VQ_CONTROLPORT& operator*() { return *this; }
  void Construct();
};
