#pragma once
// Residuals and Jacobian rows of recorded equation streams.
#include <vector>

#include "vq_equations.h"

namespace vq_rt {

struct KYV_API Evaluation {
  double residual = 0.0;
  // The reference leaves in stream order, and the derivative of the
  // residual with respect to each.
  std::vector<VQ_VarParam*> references;
  std::vector<double> partials;

  Evaluation();
  Evaluation(const Evaluation&);
  Evaluation& operator=(const Evaluation&);
  ~Evaluation();
};

// Evaluates the tokens [first, first + count) of a stream as one prefix
// tree at the current values of its references. A malformed stream (an
// operator short of operands, a token left over, an unknown operator code,
// no token at all) raises VQ_Error.
KYV_API Evaluation Evaluate(const Stream& stream, size_t first, size_t count);
// A recorded equation; a procedure equation is evaluated through its
// procedure (its residual and Jacobian row), which raises VQ_Error when the
// procedure reports a negative status or its row does not match the
// references emitted for it.
KYV_API Evaluation Evaluate(const ContainerState& state, const EmittedEquation& equation);

}  // namespace vq_rt
