#pragma once
// The statements of an assignment pass. Every value goes to the runtime
// wrapped with the pass's two arguments (the second first) and the
// statement's ordinal.
#include "kyvexp.h"

namespace brantel {

class AssignmentStatements {
 public:
  AssignmentStatements(VQ_Container& owner, int a, int b) : m_Owner(owner), m_A(a), m_B(b) {}

  // A default assignment; the runtime's status is not needed.
  template <class Value>
  void Assign(VQ_VarParam& target, const Value& value, int ordinal) const {
    VQ_Value wrapped(value, static_cast<unsigned>(m_B), static_cast<unsigned>(m_A), ordinal);
    target.Assign(&wrapped);
  }

  // An internal index set handed to the runtime for one pass.
  template <class Set>
  void IndexSet(VQ_Set& set, const Set& value, int ordinal, int pass) const {
    VQ_Value wrapped(value, static_cast<unsigned>(m_B), static_cast<unsigned>(m_A), ordinal);
    m_Owner.InitialiseInternalIndexSet(set, &wrapped, pass);
  }

 private:
  VQ_Container& m_Owner;
  int m_A;
  int m_B;
};

}  // namespace brantel
