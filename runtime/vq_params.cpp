#include "vq_params.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "vq_error.h"
#include "vq_format.h"
#include "vq_links.h"
#include "vq_matrix.h"
#include "vq_recorder.h"

namespace vq_rt {

// What InitializeSystemAttributes read from the default hooks.
struct ParamAttributes {
  std::vector<std::pair<std::string, XUValue>> entries;

  const XUValue* Find(const char* name) const {
    for (const auto& entry : entries)
      if (XUValue::CompareCI(entry.first.c_str(), name) == 0) return &entry.second;
    return nullptr;
  }
  void Set(const char* name, const XUValue& value) {
    for (auto& entry : entries)
      if (XUValue::CompareCI(entry.first.c_str(), name) == 0) {
        entry.second = value;
        return;
      }
    entries.emplace_back(name, value);
  }
};

}  // namespace vq_rt

namespace {

const char* KindName(unsigned short type) {
  switch (type) {
    case XUValue::kInteger: return "an integer";
    case XUValue::kReal: return "a real number";
    case XUValue::kString: return "a string";
    case XUValue::kLogical: return "a logical";
    case XUValue::kIntSet: return "an integer set";
    case XUValue::kStrSet: return "a string set";
    default: return "a value";
  }
}

bool IsNumeric(const XUValue& v) { return v.Type() == XUValue::kInteger || v.Type() == XUValue::kReal; }

}  // namespace

namespace {

// The values the outermost open transaction will put back. Most parameters
// had no value before (a grid's assignments make them), so the values that
// were there are kept apart and an entry stays small.
struct Saved {
  VQ_VarParam* param;
  bool had;
  uint32_t value;  // in TransactionLog::values, when it had one
};
// A grid's assignments log an entry per node: large logs go on huge pages.
template <class T>
using LogOf = std::vector<T, vq_rt::ScatteredAllocator<T>>;
// Elements an array made one after the other in neighbouring slots, up or
// down, or (without an array) the default instance a replaceable member
// made. A grid's assignments make an element per node in slot order, so
// they log a pointer per node and a run now and then.
struct MadeRun {
  VQ_Matrix* array;
  VQ_VirtualBase* member;
  int firstSlot;
  int step;  // from one element's slot to the next: 1 or -1
  uint32_t firstElement;  // in TransactionLog::madeElements; the run ends where the next begins

  int SlotOf(size_t element) const { return firstSlot + step * static_cast<int>(element - firstElement); }
};
struct TransactionLog {
  int depth = 0;
  LogOf<Saved> saved;
  LogOf<XUValue> values;
  LogOf<MadeRun> madeRuns;
  LogOf<VQ_Type*> madeElements;

  size_t RunEnd(size_t run) const {
    return run + 1 < madeRuns.size() ? madeRuns[run + 1].firstElement : madeElements.size();
  }
  // Drops the runs `gone` picks, and their elements.
  template <class Gone>
  void DropRuns(Gone gone) {
    size_t keptRuns = 0, keptElements = 0;
    for (size_t run = 0; run < madeRuns.size(); ++run) {
      const size_t end = RunEnd(run);
      MadeRun kept = madeRuns[run];
      if (gone(kept)) continue;
      kept.firstElement = static_cast<uint32_t>(keptElements);
      for (size_t e = madeRuns[run].firstElement; e < end; ++e) madeElements[keptElements++] = madeElements[e];
      madeRuns[keptRuns++] = kept;
    }
    madeRuns.resize(keptRuns);
    madeElements.resize(keptElements);
  }
};
TransactionLog& Log() {
  static TransactionLog log;
  return log;
}

}  // namespace

VQ_AssignmentTransaction::VQ_AssignmentTransaction() : m_Outermost(Log().depth++ == 0) {}

VQ_AssignmentTransaction::~VQ_AssignmentTransaction() {
  TransactionLog& log = Log();
  --log.depth;
  if (!m_Outermost) return;
  TransactionLog ended;
  ended.saved.swap(log.saved);
  ended.values.swap(log.values);
  ended.madeRuns.swap(log.madeRuns);
  ended.madeElements.swap(log.madeElements);
  // Every one of them lives: a parameter that goes takes itself off the list.
  for (const Saved& entry : ended.saved) entry.param->SetTransactionMark(false);
  if (m_Committed) return;
  const XUValue none;
  for (auto it = ended.saved.rbegin(); it != ended.saved.rend(); ++it)
    it->param->RestoreAssigned(it->had, it->had ? ended.values[it->value] : none);
  // Latest first: an element made inside another goes before it does.
  for (size_t run = ended.madeRuns.size(); run-- > 0;) {
    const MadeRun& made = ended.madeRuns[run];
    for (size_t e = ended.RunEnd(run); e-- > made.firstElement;) {
      VQ_Type* element = ended.madeElements[e];
      if (made.array != nullptr) made.array->RemoveElement(element, made.SlotOf(e));
      else if (made.member->LinkedIfAny() == element) made.member->Link(nullptr);
    }
  }
}

void VQ_AssignmentTransaction::Commit() { m_Committed = true; }

void VQ_AssignmentTransaction::Made(VQ_Matrix& array, VQ_Type& element, int slot) {
  TransactionLog& log = Log();
  if (log.depth == 0) return;
  const size_t count = log.madeElements.size();
  MadeRun* last = log.madeRuns.empty() ? nullptr : &log.madeRuns.back();
  bool continues = last != nullptr && last->array == &array;
  if (continues && count - last->firstElement == 1 && (slot == last->firstSlot + 1 || slot == last->firstSlot - 1))
    last->step = slot - last->firstSlot;  // a run of one goes either way
  else if (continues)
    continues = static_cast<long long>(last->firstSlot) + static_cast<long long>(last->step) *
                                                           static_cast<long long>(count - last->firstElement) == slot;
  if (!continues) log.madeRuns.push_back({&array, nullptr, slot, 1, static_cast<uint32_t>(count)});
  log.madeElements.push_back(&element);
}

void VQ_AssignmentTransaction::MadeDefault(VQ_VirtualBase& member) {
  TransactionLog& log = Log();
  if (log.depth == 0) return;
  log.madeRuns.push_back({nullptr, &member, -1, 1, static_cast<uint32_t>(log.madeElements.size())});
  log.madeElements.push_back(member.LinkedIfAny());
}

void VQ_AssignmentTransaction::Forget(const VQ_VirtualBase& member) {
  Log().DropRuns([&](const MadeRun& run) { return run.member == &member; });
}

void VQ_AssignmentTransaction::Forget(const VQ_Matrix& array) {
  Log().DropRuns([&](const MadeRun& run) { return run.array == &array; });
}

void VQ_VarParam::RestoreAssigned(bool had, const XUValue& value) {
  if (had) StoreLayer(kAssigned, value);
  else EraseLayer(kAssigned);
}

void VQ_VarParam::RememberAssigned() {
  TransactionLog& log = Log();
  // A grid's assignments make an element per node and assign it at once:
  // nothing to remember for the element just made, as the failed
  // transaction destroys it.
  if (log.depth == 0 || TransactionMark() || (!log.madeElements.empty() && log.madeElements.back() == this)) return;
  Saved entry{this, HasLayer(kAssigned), 0};
  if (entry.had) {
    XUValue value;
    ReadLayer(kAssigned, value);
    entry.value = static_cast<uint32_t>(log.values.size());
    log.values.push_back(value);  // left unused should the entry fail
  }
  log.saved.push_back(entry);
  SetTransactionMark(true);
}

VQ_VarParam::VQ_VarParam() = default;
VQ_VarParam::VQ_VarParam(const VQ_VarParam& other) : VQ_Type(other) {
  if (const vq_rt::ParamAttributes* attributes = other.Attributes())
    RareFields().attributes = new vq_rt::ParamAttributes(*attributes);
}
VQ_VarParam& VQ_VarParam::operator=(const VQ_VarParam& other) {
  VQ_Type::operator=(other);
  if (this != &other) {
    DropAttributes();
    if (const vq_rt::ParamAttributes* attributes = other.Attributes())
      RareFields().attributes = new vq_rt::ParamAttributes(*attributes);
  }
  return *this;
}
void VQ_VarParam::DropAttributes() {
  if (Rare* rare = RareIfAny()) {
    delete rare->attributes;
    rare->attributes = nullptr;
  }
}

VQ_VarParam::~VQ_VarParam() {
  DropAttributes();
  if (vq_rt::PooledColumn(this) < 0) vq_rt::ForgetColumn(this);
  // A parameter that goes away inside a transaction has nothing to restore.
  TransactionLog& log = Log();
  if (log.depth > 0 && TransactionMark()) {
    auto& saved = log.saved;
    for (size_t i = 0; i < saved.size();)
      if (saved[i].param == this) saved.erase(saved.begin() + static_cast<std::ptrdiff_t>(i));
      else ++i;
  }
}

VQ_Value* VQ_VarParam::VQ_DefaultVALUE() const { return nullptr; }
VQ_Value* VQ_VarParam::VQ_DefaultLOWER() const { return nullptr; }
VQ_Value* VQ_VarParam::VQ_DefaultUPPER() const { return nullptr; }
VQ_Value* VQ_VarParam::VQ_DefaultVALID() const { return nullptr; }
VQ_Value* VQ_VarParam::VQ_DefaultPHYSICALQUANTITY() const { return nullptr; }
VQ_Value* VQ_VarParam::VQ_DefaultBASEUOMNAME() const { return nullptr; }
VQ_Value* VQ_VarParam::VQ_DefaultUNITS() const { return nullptr; }
VQ_Value* VQ_VarParam::VQ_DefaultTAG() const { return nullptr; }

void VQ_VarParam::InitializeSystemAttributes() {
  const std::pair<const char*, VQ_Value*> hooks[] = {
      {"LOWER", VQ_DefaultLOWER()},
      {"UPPER", VQ_DefaultUPPER()},
      {"VALID", VQ_DefaultVALID()},
      {"PHYSICALQUANTITY", VQ_DefaultPHYSICALQUANTITY()},
      {"BASEUOMNAME", VQ_DefaultBASEUOMNAME()},
      {"UNITS", VQ_DefaultUNITS()},
      {"TAG", VQ_DefaultTAG()},
  };
  for (const auto& hook : hooks) {
    if (hook.second == nullptr) continue;
    vq_rt::ParamAttributes*& attributes = RareFields().attributes;
    if (attributes == nullptr) attributes = new vq_rt::ParamAttributes();
    attributes->Set(hook.first, hook.second->Value());
  }
  if (VQ_Value* initial = VQ_DefaultVALUE()) {
    XUValue value;
    Coerce(initial->Value(), value);
    StoreLayer(kTypeDefault, value);
  }
}

unsigned short VQ_VarParam::ValueType() const { return XUValue::kNone; }

void VQ_VarParam::GetValue(XUValue& out) const {
  for (int layer = kUser; layer >= kTypeDefault; --layer) {
    if (HasLayer(static_cast<Layer>(layer))) {
      ReadLayer(static_cast<Layer>(layer), out);
      return;
    }
  }
  ReadLayer(kTypeDefault, out);
}

bool VQ_VarParam::HasValueIn(Layer layer) const { return HasLayer(layer); }

void VQ_VarParam::SetUserValue(const XUValue& value) {
  XUValue converted;
  Coerce(value, converted);
  Validate(converted);
  StoreLayer(kUser, converted);
}

void VQ_VarParam::ClearUserValue() { EraseLayer(kUser); }

void VQ_VarParam::StoreAssigned(const VQ_Value& value) {
  XUValue converted;
  Coerce(value.Value(), converted);
  Validate(converted);
  RememberAssigned();
  StoreLayer(kAssigned, converted);
}

void VQ_VarParam::ForgetAssigned() {
  if (!HasLayer(kAssigned)) return;
  RememberAssigned();
  EraseLayer(kAssigned);
}

VQ_AssignStatus VQ_VarParam::Assign(VQ_Value* value) {
  if (value == nullptr) vq_rt::Raise("%s: assignment of no value", DisplayName().c_str());
  StoreAssigned(*value);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::Assign)) {
    XUValue current;
    ReadLayer(kAssigned, current);
    vq_rt::RecordCall(vq_rt::EventKind::Assign, this)
        .Name(DisplayName())
        .Text(vq_rt::FormatValue(current))
        .Numbers(value->TagB(), value->TagA(), value->Ordinal());
  }
  // A value in the short form carries a flags word in place of the tags.
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AssignFlags) && value->IsShortForm())
    vq_rt::RecordCall(vq_rt::EventKind::AssignFlags, this).Name(DisplayName()).Numbers(value->Flags());
  return HasLayer(kUser) ? VQ_ASSIGN_OVERRIDDEN : VQ_ASSIGN_OK;
}

void VQ_VarParam::Refuse(const XUValue& value, const char* reason) const {
  vq_rt::Raise("%s: %s %s", DisplayName().c_str(), vq_rt::UserValue(value).c_str(),
               reason ? reason : "is refused");
}

void VQ_VarParam::Refuse(double value, const char* reason) const {
  XUValue v;
  v.SetReal(value);
  Refuse(v, reason);
}

void VQ_VarParam::Refuse(long long value, const char* reason) const {
  vq_rt::Raise("%s: %lld %s", DisplayName().c_str(), value, reason ? reason : "is refused");
}

const XUValue* VQ_VarParam::Attribute(const char* name) const {
  const vq_rt::ParamAttributes* attributes = Attributes();
  return attributes ? attributes->Find(name) : nullptr;
}

int VQ_VarParam::NewPatternId() { return vq_rt::NewColumn(this); }

void VQ_VarParam::Coerce(const XUValue& in, XUValue& out) const {
  unsigned short want = ValueType();
  unsigned short have = in.Type();
  auto refuse = [&]() {
    vq_rt::Raise("%s: %s is not %s", DisplayName().c_str(), vq_rt::UserValue(in).c_str(),
                 KindName(want));
  };
  switch (want) {
    case XUValue::kReal:
      if (!IsNumeric(in)) refuse();
      if (!std::isfinite(in.AsReal())) refuse();
      out.SetReal(in.AsReal());
      return;
    case XUValue::kInteger:
      if (have == XUValue::kInteger) {
        out = in;
        return;
      }
      if (have == XUValue::kReal) {
        double d = in.AsReal();
        if (std::isfinite(d) && d == std::floor(d) && d >= -2147483648.0 && d <= 2147483647.0) {
          out.SetInteger(static_cast<int>(d));
          return;
        }
      }
      refuse();
      return;
    case XUValue::kString:
      if (have != XUValue::kString) refuse();
      out = in;
      return;
    case XUValue::kLogical:
      if (have == XUValue::kLogical || (have == XUValue::kInteger && (in.AsInteger() == 0 || in.AsInteger() == 1))) {
        out.SetLogical(in.AsLogical());
        return;
      }
      refuse();
      return;
    case XUValue::kIntSet:
      if (have == XUValue::kIntSet || (have == XUValue::kSet && in.SetSize() == 0)) {
        out = VQ_IntSetValue(VQ_SetValue(in));
        return;
      }
      if (have == XUValue::kInteger) {
        out = VQ_IntSetValue(VQ_OneElement{}, in.AsInteger());
        return;
      }
      refuse();
      return;
    case XUValue::kStrSet:
      if (have == XUValue::kStrSet || (have == XUValue::kSet && in.SetSize() == 0)) {
        out = VQ_StrSetValue(VQ_SetValue(in));
        return;
      }
      if (have == XUValue::kString) {
        VQ_StrSetValue set;
        set += in.AsString();
        out = set;
        return;
      }
      refuse();
      return;
    default:
      vq_rt::Raise("%s holds no value", DisplayName().c_str());
  }
}

void VQ_VarParam::Validate(const XUValue& value) const {
  const vq_rt::ParamAttributes* attributes = Attributes();
  if (attributes == nullptr) return;
  std::string name = DisplayName();
  if (IsNumeric(value)) {
    const XUValue* lower = attributes->Find("LOWER");
    if (lower && IsNumeric(*lower) && value.AsReal() < lower->AsReal())
      vq_rt::Raise("%s: %s is below the lower bound %s", name.c_str(), vq_rt::UserValue(value).c_str(),
                   vq_rt::FormatValue(*lower).c_str());
    const XUValue* upper = attributes->Find("UPPER");
    if (upper && IsNumeric(*upper) && value.AsReal() > upper->AsReal())
      vq_rt::Raise("%s: %s is above the upper bound %s", name.c_str(), vq_rt::UserValue(value).c_str(),
                   vq_rt::FormatValue(*upper).c_str());
  }
  const XUValue* valid = attributes->Find("VALID");
  if (valid && valid->Type() == XUValue::kStrSet) {
    auto check = [&](const char* element) {
      if (!(*valid >= element))
        vq_rt::Raise("%s: \"%s\" is not one of the valid values %s", name.c_str(), vq_rt::UserText(element).c_str(),
                     vq_rt::FormatValue(*valid).c_str());
    };
    if (value.Type() == XUValue::kString) check(value.AsString());
    if (value.Type() == XUValue::kStrSet)
      for (int i = 0; i < value.SetSize(); ++i) check(value.StringAt(i));
  }
}

void VQ_VarParam::StoreLayer(Layer, const XUValue&) { vq_rt::Raise("%s holds no value", DisplayName().c_str()); }
void VQ_VarParam::EraseLayer(Layer) {}
bool VQ_VarParam::HasLayer(Layer) const { return false; }
void VQ_VarParam::ReadLayer(Layer, XUValue& out) const { out.ResetType(XUValue::kNone); }

// ---------------------------------------------------------------------------
// Scalar parameters.

namespace {
void Put(double value, XUValue& out) { out.SetReal(value); }
void Put(int value, XUValue& out) { out.SetInteger(value); }
void Put(bool value, XUValue& out) { out.SetLogical(value); }
void Get(const XUValue& in, double& value) { value = in.AsReal(); }
void Get(const XUValue& in, int& value) { value = in.AsInteger(); }
void Get(const XUValue& in, bool& value) { value = in.AsLogical(); }
}  // namespace

template <class T>
VQ_ScalarParameter<T>::VQ_ScalarParameter() = default;
template <class T>
VQ_ScalarParameter<T>::VQ_ScalarParameter(const VQ_ScalarParameter& other) = default;
template <class T>
VQ_ScalarParameter<T>& VQ_ScalarParameter<T>::operator=(const VQ_ScalarParameter& other) = default;
template <class T>
VQ_ScalarParameter<T>::~VQ_ScalarParameter() = default;
template <class T>
void VQ_ScalarParameter<T>::StoreLayer(Layer layer, const XUValue& value) {
  Get(value, m_Values[layer]);
  SetKindBit(layer, true);
}
template <class T>
void VQ_ScalarParameter<T>::EraseLayer(Layer layer) {
  SetKindBit(layer, false);
}
template <class T>
bool VQ_ScalarParameter<T>::HasLayer(Layer layer) const {
  return KindBit(layer);
}
template <class T>
void VQ_ScalarParameter<T>::ReadLayer(Layer layer, XUValue& out) const {
  Put(HasLayer(layer) ? m_Values[layer] : T(), out);
}

template class VQ_ScalarParameter<double>;
template class VQ_ScalarParameter<int>;
template class VQ_ScalarParameter<bool>;

const char* VQ_REALPARAMETER::VQ_ContainerId() {
  static const char kId[] = "Parameter REALPARAMETER\tV8.4";
  return kId;
}
VQ_REALPARAMETER::VQ_REALPARAMETER(bool bConstruct) {
  if (bConstruct) InitializeSystemAttributes();
}
VQ_REALPARAMETER::VQ_REALPARAMETER(const VQ_REALPARAMETER& other) = default;
VQ_REALPARAMETER& VQ_REALPARAMETER::operator=(const VQ_REALPARAMETER& other) = default;
VQ_REALPARAMETER::~VQ_REALPARAMETER() = default;
unsigned short VQ_REALPARAMETER::ValueType() const { return XUValue::kReal; }
int VQ_REALPARAMETER::VQ_PQRow() const { return 0; }
int VQ_REALPARAMETER::VQ_PQCol() const { return 0; }

const char* VQ_INTEGERPARAMETER::VQ_ContainerId() {
  static const char kId[] = "Parameter INTEGERPARAMETER\tV8.4";
  return kId;
}
VQ_INTEGERPARAMETER::VQ_INTEGERPARAMETER(bool bConstruct) {
  if (bConstruct) InitializeSystemAttributes();
}
VQ_INTEGERPARAMETER::VQ_INTEGERPARAMETER(const VQ_INTEGERPARAMETER& other) = default;
VQ_INTEGERPARAMETER& VQ_INTEGERPARAMETER::operator=(const VQ_INTEGERPARAMETER& other) = default;
VQ_INTEGERPARAMETER::~VQ_INTEGERPARAMETER() = default;
unsigned short VQ_INTEGERPARAMETER::ValueType() const { return XUValue::kInteger; }

const char* VQ_FalseLOGICALPARAMETER::VQ_ContainerId() {
  static const char kId[] = "Parameter LOGICALPARAMETER\tV8.4";
  return kId;
}
VQ_FalseLOGICALPARAMETER::VQ_FalseLOGICALPARAMETER(bool bConstruct) {
  if (bConstruct) InitializeSystemAttributes();
}
VQ_FalseLOGICALPARAMETER::VQ_FalseLOGICALPARAMETER(const VQ_FalseLOGICALPARAMETER& other) = default;
VQ_FalseLOGICALPARAMETER& VQ_FalseLOGICALPARAMETER::operator=(const VQ_FalseLOGICALPARAMETER& other) = default;
VQ_FalseLOGICALPARAMETER::~VQ_FalseLOGICALPARAMETER() = default;
unsigned short VQ_FalseLOGICALPARAMETER::ValueType() const { return XUValue::kLogical; }

// ---------------------------------------------------------------------------
// String-valued properties.

VQ_StringValued::VQ_StringValued() = default;
VQ_StringValued::VQ_StringValued(const VQ_StringValued& other) = default;
VQ_StringValued& VQ_StringValued::operator=(const VQ_StringValued& other) = default;
VQ_StringValued::~VQ_StringValued() = default;
unsigned short VQ_StringValued::ValueType() const { return XUValue::kString; }
void VQ_StringValued::StoreLayer(Layer layer, const XUValue& value) {
  m_Values[layer] = value.AsString();
  SetKindBit(layer, true);
}
void VQ_StringValued::EraseLayer(Layer layer) { SetKindBit(layer, false); }
bool VQ_StringValued::HasLayer(Layer layer) const { return KindBit(layer); }
void VQ_StringValued::ReadLayer(Layer layer, XUValue& out) const {
  out.SetString(HasLayer(layer) ? m_Values[layer].c_str() : "");
}
const char* VQ_StringValued::Current() const {
  for (int layer = kUser; layer >= kTypeDefault; --layer)
    if (KindBit(layer)) return m_Values[layer].c_str();
  return "";
}

const char* VQ_STRINGPARAMETER::VQ_ContainerId() {
  static const char kId[] = "Parameter STRINGPARAMETER\tV8.4";
  return kId;
}
VQ_STRINGPARAMETER::VQ_STRINGPARAMETER(bool bConstruct) {
  if (bConstruct) InitializeSystemAttributes();
}
VQ_STRINGPARAMETER::VQ_STRINGPARAMETER(const VQ_STRINGPARAMETER& other) = default;
VQ_STRINGPARAMETER& VQ_STRINGPARAMETER::operator=(const VQ_STRINGPARAMETER& other) = default;
VQ_STRINGPARAMETER::~VQ_STRINGPARAMETER() = default;

VQ_COMPONENTLISTNAME::VQ_COMPONENTLISTNAME() = default;
VQ_COMPONENTLISTNAME::VQ_COMPONENTLISTNAME(const VQ_COMPONENTLISTNAME& other) = default;
VQ_COMPONENTLISTNAME& VQ_COMPONENTLISTNAME::operator=(const VQ_COMPONENTLISTNAME& other) = default;
VQ_COMPONENTLISTNAME::~VQ_COMPONENTLISTNAME() = default;
void VQ_COMPONENTLISTNAME::BeginPropertiesCall() {}
void VQ_COMPONENTLISTNAME::EndPropertiesCall() {}

// ---------------------------------------------------------------------------
// Sets.

VQ_Set::VQ_Set() = default;
VQ_Set::VQ_Set(const VQ_Set& other) = default;
VQ_Set& VQ_Set::operator=(const VQ_Set& other) = default;
VQ_Set::~VQ_Set() = default;
void VQ_Set::StoreLayer(Layer layer, const XUValue& value) {
  m_Values[layer] = VQ_SetValue(value);
  SetKindBit(layer, true);
}
void VQ_Set::EraseLayer(Layer layer) { SetKindBit(layer, false); }
bool VQ_Set::HasLayer(Layer layer) const { return KindBit(layer); }
void VQ_Set::ReadLayer(Layer layer, XUValue& out) const {
  if (HasLayer(layer)) out = m_Values[layer];
  else out = VQ_SetValue(ValueType() == XUValue::kStrSet ? XUValue::kStrSet : XUValue::kIntSet);
}
const VQ_SetValue& VQ_Set::Current() const {
  for (int layer = kUser; layer >= kTypeDefault; --layer)
    if (KindBit(layer)) return m_Values[layer];
  return m_Empty;
}

VQ_INTEGERSET::VQ_INTEGERSET() = default;
VQ_INTEGERSET::VQ_INTEGERSET(const VQ_INTEGERSET& other) = default;
VQ_INTEGERSET& VQ_INTEGERSET::operator=(const VQ_INTEGERSET& other) = default;
VQ_INTEGERSET::~VQ_INTEGERSET() = default;
unsigned short VQ_INTEGERSET::ValueType() const { return XUValue::kIntSet; }

VQ_STRINGSET::VQ_STRINGSET(bool bConstruct) {
  if (bConstruct) InitializeSystemAttributes();
}
VQ_STRINGSET::VQ_STRINGSET(const VQ_STRINGSET& other) = default;
VQ_STRINGSET& VQ_STRINGSET::operator=(const VQ_STRINGSET& other) = default;
VQ_STRINGSET::~VQ_STRINGSET() = default;
unsigned short VQ_STRINGSET::ValueType() const { return XUValue::kStrSet; }

// ---------------------------------------------------------------------------
// Variables.

VQ_REALVARIABLE::VQ_REALVARIABLE(bool bConstruct) {
  SetKindBit(kSolverVariable, true);
  if (bConstruct) InitializeSystemAttributes();
}
VQ_REALVARIABLE::VQ_REALVARIABLE(const VQ_REALVARIABLE& other) = default;
VQ_REALVARIABLE& VQ_REALVARIABLE::operator=(const VQ_REALVARIABLE& other) = default;
VQ_REALVARIABLE::~VQ_REALVARIABLE() = default;
unsigned short VQ_REALVARIABLE::ValueType() const { return XUValue::kReal; }
void VQ_REALVARIABLE::StoreLayer(Layer layer, const XUValue& value) {
  m_Value = value.AsReal();
  if (layer == kUser) SetKindBit(kUserSet, true);
}
void VQ_REALVARIABLE::EraseLayer(Layer layer) {
  if (layer == kUser) SetKindBit(kUserSet, false);
}
// One value serves every layer: it is what an assignment replaces, so a
// failed transaction has it to put back.
bool VQ_REALVARIABLE::HasLayer(Layer layer) const { return layer == kUser ? KindBit(kUserSet) : true; }
void VQ_REALVARIABLE::ReadLayer(Layer, XUValue& out) const { out.SetReal(m_Value); }

VQ_PARTIALDERIVATIVE::VQ_PARTIALDERIVATIVE(bool bConstruct) : VQ_REALVARIABLE(false) {
  if (bConstruct) InitializeSystemAttributes();
}
VQ_PARTIALDERIVATIVE::VQ_PARTIALDERIVATIVE(const VQ_PARTIALDERIVATIVE& other) = default;
VQ_PARTIALDERIVATIVE& VQ_PARTIALDERIVATIVE::operator=(const VQ_PARTIALDERIVATIVE& other) = default;
VQ_PARTIALDERIVATIVE::~VQ_PARTIALDERIVATIVE() = default;

// Grids hold millions of these: no field that most elements leave unused.
static_assert(sizeof(void*) != 8 || sizeof(VQ_REALVARIABLE) == 40, "a variable element outgrew 40 bytes");
