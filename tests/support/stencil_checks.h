#pragma once
// Checks every distribution's stencil tests share: the pairing of the two
// passes, which variable each equation defines, and the grid facts the
// expected counts rest on.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/distribution_fixture.h"

// First-order rows touch only a node and its neighbour, so their sections
// may have a single node interval: an axis on such a method gets one more
// section, of one interval, after the `sections` it has.
template <class Fixture>
void EndInOneIntervalSection(Fixture& f, const std::string& axis, const char* method, int sections) {
  if (std::string(method) != "BFD1" && std::string(method) != "FFD1") return;
  f.Set(axis + ".NUMSECTIONS", std::to_string(sections + 1));
  f.Set(axis + ".SECTION(" + std::to_string(sections + 1) + ").NODECOUNT", "1");
}

// The k-th counted instance is the k-th emitted one, with the same group
// and as many references (the run checked them one by one against the
// counting pass's digest).
inline void ExpectBothPassesAgree(const std::vector<EmittedRow>& rows, const vq_rt::ContainerState& state,
                                  int ownNonZeroCount, const std::string& label) {
  ASSERT_EQ(state.counted.size(), state.emitted.size()) << label;
  for (const EmittedRow& row : rows) {
    EXPECT_EQ(row.countedGroup, row.group) << label << " " << row.Where();
    EXPECT_EQ(row.countedReferences, row.references.size()) << label << " " << row.Where();
  }
  EXPECT_EQ(ownNonZeroCount, static_cast<int>(state.countedReferences.size())) << label;
}

// The index values of an array element, from its name "(i,j,...)".
inline std::vector<int> IndicesOf(const VQ_VarParam& element) {
  std::vector<int> indices;
  std::istringstream text(element.Name() + 1);
  for (int value; text >> value;) {
    indices.push_back(value);
    text.ignore(1);
  }
  return indices;
}

// How many equations define each variable (the first reference of a row),
// after checking that no reference leaves its array's index sets.
inline std::map<const VQ_VarParam*, int> DefiningEquations(const std::vector<EmittedRow>& rows,
                                                          const std::string& label) {
  std::map<const VQ_VarParam*, int> definitions;
  for (const EmittedRow& row : rows) {
    ++definitions[row.references.front()];
    for (const VQ_VarParam* reference : row.references) {
      const VQ_Matrix* array = dynamic_cast<const VQ_Matrix*>(reference->Parent());
      if (array == nullptr) continue;  // h
      const std::vector<int> indices = IndicesOf(*reference);
      for (size_t d = 0; d < indices.size(); ++d)
        EXPECT_EQ(array->DeclaredSet(static_cast<int>(d))->v() >= indices[d], 1) << label << " " << reference->DisplayName();
    }
  }
  return definitions;
}

// The nodes of a domain where a junction row defines the first derivative
// a second time: section starts (finite differences) or element starts
// (collocation) other than node 0.
inline std::set<int> JunctionNodes(VQ_DOMAIN& domain) {
  const bool collocation = std::string((*domain.DISCRETIZATIONMETHOD).v()).rfind("OCFE", 0) == 0;
  std::set<int> junctions;
  for (int s = 1; s <= (*domain.NUMSECTIONS).v(); ++s) {
    VQ_SECTIONDATAMODEL& section = (*domain.SECTION)(s);
    if (!collocation && s > 1) junctions.insert(section.BASE.v());
    for (int e = 1; collocation && e <= section.NUMELEMENTS.v(); ++e) {
      const int start = section.BASE.v() + (e - 1) * ((*domain.NUMPOLYPOINTS).v() + 1);
      if (start != 0) junctions.insert(start);
    }
  }
  return junctions;
}

// The coordinate of every node of a domain.
inline std::vector<double> Coordinates(VQ_DOMAIN& domain) {
  std::vector<double> at;
  for (int k = 0; k <= domain.ENDNODE.v(); ++k) at.push_back((*domain.VALUE)(k).v());
  return at;
}

// Node 0, the interior nodes and the end node.
inline bool InClosedInterior(VQ_DOMAIN& domain, int node) {
  return node == 0 || node == domain.ENDNODE.v() || ((*domain.INTERIOR).v() >= node) != 0;
}
