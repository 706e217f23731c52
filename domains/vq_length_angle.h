#pragma once
// Domains under names of their own; everything else is the domain's.
#include "vq_domain.h"

class VQ_LENGTHDOMAIN : public VQ_GeneratedLevel<VQ_LENGTHDOMAIN, VQ_DOMAIN> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_LENGTHDOMAIN(bool bConstruct = true);
  ~VQ_LENGTHDOMAIN() override;
  VQ_LENGTHDOMAIN& operator=(const VQ_LENGTHDOMAIN& other);
  VQ_LENGTHDOMAIN& operator*() { return *this; }
  void Construct();
};

class VQ_ANGLEDOMAIN : public VQ_GeneratedLevel<VQ_ANGLEDOMAIN, VQ_DOMAIN> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_ANGLEDOMAIN(bool bConstruct = true);
  ~VQ_ANGLEDOMAIN() override;
  VQ_ANGLEDOMAIN& operator=(const VQ_ANGLEDOMAIN& other);
  VQ_ANGLEDOMAIN& operator*() { return *this; }
  void Construct();
};

BRANTEL_DECLARE_FACTORY(LENGTHDOMAIN)
BRANTEL_DECLARE_FACTORY(ANGLEDOMAIN)
