#pragma once
// A distribution over domains of its own, one per axis, driven as the host
// drives it, and what it emitted.
#include <cmath>
#include <string>
#include <vector>

#include "vq_driver.h"
#include "vq_evaluator.h"
#include "vq_render.h"
#include "vq_inspect.h"
#include "vq_instances.h"

struct EmittedRow {
  std::string name;
  int group;
  std::vector<std::string> tokens;
  std::vector<VQ_VarParam*> references;  // the reference leaves, in stream order
  size_t countedReferences = 0;          // how many the counting pass registered
  int countedGroup = -1;
  size_t first, count;                   // tokens in the model's stream
  // "VQ_Eqn3@4" (or "@4,2" in two dimensions): the statement and the node
  // of the variable it defines.
  std::string Where() const {
    const std::string& defined = tokens[tokens[0] == "op1" ? 1 : FirstReference()];
    return name.substr(6) + "@" + defined.substr(defined.find('(') + 1, defined.find(')') - defined.find('(') - 1);
  }
  size_t FirstReference() const {
    for (size_t i = 0; i < tokens.size(); ++i)
      if (tokens[i].find('(') != std::string::npos) return i;
    return 0;
  }
};

// An emitted row's residual at the variables' current values, relative to
// the sum of the magnitudes of its terms: near 0 when the row holds.
inline double RelativeResidual(const vq_rt::ContainerState& state, const EmittedRow& row) {
  const vq_rt::Evaluation e = vq_rt::Evaluate(state.stream, row.first, row.count);
  double scale = 0.0;
  for (size_t i = 0; i < e.references.size(); ++i) scale += std::fabs(e.partials[i] * e.references[i]->Real());
  return std::fabs(e.residual) / (scale > 0 ? scale : 1.0);
}

inline VQ_ModelType* NewInstance(VQ_DISTRIBUTION1D*) { return DISTRIBUTION1DFactory(); }
inline VQ_ModelType* NewInstance(VQ_DISTRIBUTION2D*) { return DISTRIBUTION2DFactory(); }
inline VQ_ModelType* NewInstance(VQ_DISTRIBUTION3D*) { return DISTRIBUTION3DFactory(); }

// The domain references of each distribution, x first.
inline std::vector<VQ_External<VQ_DOMAIN>*> DomainReferences(VQ_DISTRIBUTION1D& d) { return {&d.XDOMAIN}; }
inline std::vector<VQ_External<VQ_DOMAIN>*> DomainReferences(VQ_DISTRIBUTION2D& d) {
  return {&d.XDOMAIN, &d.YDOMAIN};
}
inline std::vector<VQ_External<VQ_DOMAIN>*> DomainReferences(VQ_DISTRIBUTION3D& d) {
  return {&d.XDOMAIN, &d.YDOMAIN, &d.ZDOMAIN};
}

template <class Distribution>
class DistributionFixture {
 public:
  DistributionFixture()
      : m_Model(NewInstance(static_cast<Distribution*>(nullptr))), d(dynamic_cast<Distribution&>(*m_Model)) {
    for (VQ_External<VQ_DOMAIN>* reference : DomainReferences(d)) {
      VQ_ModelType* domain = DOMAINFactory();
      reference->Link(domain);
      domain->Release();
    }
  }
  ~DistributionFixture() { m_Model->Release(); }
  DistributionFixture(const DistributionFixture&) = delete;
  DistributionFixture& operator=(const DistributionFixture&) = delete;

  VQ_DOMAIN& Domain(int axis) { return **DomainReferences(d)[static_cast<size_t>(axis)]; }
  VQ_DOMAIN& X() { return Domain(0); }
  void Set(const std::string& path, const std::string& value) {
    vq_rt::SetUserValueFromText(vq_rt::ResolvePath(d, path), path, value);
  }
  void Run() {
    vq_rt::Driver driver(*m_Model);
    driver.Run();
    equations = driver.EquationCount();
  }
  // The error a run gives; "(no error)" when it runs.
  std::string RunError() {
    try {
      Run();
    } catch (const VQ_Error& e) {
      return e.what();
    }
    return "(no error)";
  }
  std::vector<EmittedRow> Rows() {
    vq_rt::PathNamer namer(d);
    auto name = [&](const VQ_VarParam& v) { return namer.Path(v); };
    const vq_rt::ContainerState& state = d.State();
    std::vector<EmittedRow> rows;
    for (size_t k = 0; k < state.emitted.size(); ++k) {
      const vq_rt::EmittedEquation& e = state.emitted[k];
      EmittedRow row;
      row.name = state.EquationName(e);
      row.group = e.group;
      row.first = e.firstToken;
      row.count = state.StreamLength(e);
      row.tokens = vq_rt::RenderTokens(state.stream, e.firstToken, row.count, name);
      row.references = vq_rt::Evaluate(state.stream, e.firstToken, row.count).references;
      if (k < state.counted.size()) {
        const vq_rt::CountedEquation& c = state.counted[k];
        row.countedGroup = c.group;
        row.countedReferences = state.ReferenceCount(c);
      }
      rows.push_back(row);
    }
    return rows;
  }
  std::string Walk() {
    std::string text;
    for (const EmittedRow& row : Rows()) text += (text.empty() ? "" : " ") + row.Where();
    return text;
  }

 private:
  VQ_ModelType* m_Model;

 public:
  Distribution& d;
  int equations = -1;  // what the runtime counted over every model of the last run
};

using Distribution1DFixture = DistributionFixture<VQ_DISTRIBUTION1D>;
using Distribution2DFixture = DistributionFixture<VQ_DISTRIBUTION2D>;
using Distribution3DFixture = DistributionFixture<VQ_DISTRIBUTION3D>;
