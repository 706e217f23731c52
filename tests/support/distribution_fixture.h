#pragma once
// A one-dimensional distribution over a domain of its own, driven as the
// host drives it, and what it emitted.
#include <string>
#include <vector>

#include "vq_driver.h"
#include "vq_evaluator.h"
#include "vq_inspect.h"
#include "vq_instances.h"

struct EmittedRow {
  std::string name;
  int group;
  std::vector<std::string> tokens;
  std::vector<VQ_VarParam*> references;  // the reference leaves, in stream order
  std::vector<VQ_VarParam*> counted;     // what the counting pass registered
  int countedGroup = -1;
  size_t first, count;                   // tokens in the model's stream
  // "VQ_Eqn3@4": the statement and the node of the variable it defines.
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

class Distribution1DFixture {
 public:
  Distribution1DFixture() : m_Model(DISTRIBUTION1DFactory()), d(dynamic_cast<VQ_DISTRIBUTION1D&>(*m_Model)) {
    VQ_ModelType* domain = DOMAINFactory();
    d.XDOMAIN.Link(domain);
    domain->Release();
  }
  ~Distribution1DFixture() { m_Model->Release(); }
  Distribution1DFixture(const Distribution1DFixture&) = delete;
  Distribution1DFixture& operator=(const Distribution1DFixture&) = delete;

  VQ_DOMAIN& X() { return *d.XDOMAIN; }
  void Set(const std::string& path, const std::string& value) {
    vq_rt::SetUserValueFromText(vq_rt::ResolvePath(d, path), path, value);
  }
  void Run() {
    vq_rt::Driver driver(*m_Model);
    driver.Run();
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
      row.count = e.tokenCount;
      row.tokens = vq_rt::RenderTokens(state.stream, e.firstToken, e.tokenCount, name);
      row.references = vq_rt::Evaluate(state.stream, e.firstToken, e.tokenCount).references;
      if (k < state.counted.size()) {
        const vq_rt::CountedEquation& c = state.counted[k];
        row.countedGroup = c.group;
        for (uint32_t r = 0; r < c.referenceCount; ++r) row.counted.push_back(state.countedReferences[c.firstReference + r]);
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
  VQ_DISTRIBUTION1D& d;
};
