#pragma once
// Drives a model tree as a simulation would: dimensions, assignments, the
// counting pass and the emission pass, over every instance of the tree.
#include <vector>

#include "vq_equations.h"

namespace vq_rt {

struct DriveOptions {
  int assignA = 1;  // the two arguments ExecuteAssignments receives
  int assignB = 0;
};

class KYV_API Driver {
 public:
  explicit Driver(VQ_ModelType& root, DriveOptions options = DriveOptions());
  ~Driver();
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;

  void SetDims();
  // The assignments of every model; a refusal leaves every model as it was.
  void ExecuteAssignments();
  // Counting pass of every model; VQ_Error when one fails.
  void SetUpEquations();
  // Emission pass of every model; VQ_Error when a model emits other
  // equations than it counted, or refers in one to other variables.
  void JacPattern();
  // All four phases.
  void Run();

  // Models in the order they are driven: instances the root refers to
  // first, then the root, then what it holds.
  const std::vector<VQ_ModelType*>& Models() const { return m_Models; }
  int EquationCount() const { return m_Equations; }
  size_t NonZeroCount() const { return m_NonZeros; }

 private:
  void Collect();

  VQ_ModelType& m_Root;
  DriveOptions m_Options;
  std::vector<VQ_ModelType*> m_Models;
  int m_Equations = 0;
  size_t m_NonZeros = 0;
};

// After a model's two passes: VQ_Error naming the first equation whose
// references the emission pass gave otherwise than the counting pass
// registered them (other variables, another order or another number).
KYV_API void CheckPairing(VQ_ModelType& model);

}  // namespace vq_rt
