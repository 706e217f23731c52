#pragma once
// An example model library: the temperature profile through a wall, one
// temperature per node of a domain laid across the wall's thickness.
#include "vq_module_frame.h"

// A temperature in kelvin: an unknown of the model, with a quantity and a
// unit of its own.
class VQ_TEMPERATURE : public VQ_REALVARIABLE {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_TEMPERATURE(bool bConstruct = true);
  ~VQ_TEMPERATURE() override;
  VQ_TEMPERATURE& operator=(const VQ_TEMPERATURE& other);
  VQ_TEMPERATURE& operator*() { return *this; }
  VQ_Value* VQ_DefaultPHYSICALQUANTITY() const override;
  VQ_Value* VQ_DefaultBASEUOMNAME() const override;
};

// A generic model with a linear profile: at every node k of XDOMAIN,
//   T(k) = TSURFACE + GRADIENT * XDOMAIN.VALUE(k).
class VQ_WALLPROFILE : public VQ_GeneratedLevel<VQ_WALLPROFILE, VQ_GENERICMODEL> {
 public:
  using TemperatureArray = VQ_ARRAY_I<VQ_TEMPERATURE, VQ_TEMPERATURE>;

  static const char* VQ_ContainerId();
  explicit VQ_WALLPROFILE(bool bConstruct = true);
  ~VQ_WALLPROFILE() override;
  VQ_WALLPROFILE& operator=(const VQ_WALLPROFILE& other);
  VQ_WALLPROFILE& operator*() { return *this; }
  void Construct();

  // The frame's hooks.
  void BindArrays();
  void AssignIndexSets(int a, int b, int pass);
  void AssignDefaults(int a, int b);
  int CountOwnEquations(int& count);
  void EmitOwnEquations(int& counter, int*& p, int*& q);

  VQ_External<VQ_DOMAIN> XDOMAIN;       // across the wall, x = 0 at the surface
  VQ_Virtual<VQ_TEMPERATURE> TSURFACE;  // the temperature at x = 0
  VQ_REALPARAMETER GRADIENT;            // K/m through the wall
  VQ_INTEGERSET VQ_T_SET1;
  TemperatureArray T;  // T(k): the temperature at node k

 private:
  // Calls visit(references) for the profile equation of every node, with
  // its references in stream order; both passes walk this one loop.
  template <class Visit>
  void ForEachProfileEquation(Visit visit);
};
