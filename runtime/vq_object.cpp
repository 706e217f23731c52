#include "vq_object.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "vq_container.h"
#include "vq_error.h"
#include "vq_memory.h"
#include "vq_recorder.h"

std::string vq_rt::SignatureName(const char* signature) {
  const std::string text = signature ? signature : "(any type)";
  const size_t tab = text.find('\t');
  const size_t blank = text.find(' ');
  const size_t begin = blank != std::string::npos && blank < tab ? blank + 1 : 0;
  return text.substr(begin, tab == std::string::npos ? std::string::npos : tab - begin);
}

namespace vq_rt {

namespace {
constexpr std::uint64_t kPayload = (std::uint64_t{1} << 56) - 1;
constexpr size_t kInPlaceLength = 6;
static_assert(std::endian::native == std::endian::little, "a name in place is read where it lies");
// Bits per index when `count` indices share the 56 bits in place.
constexpr int kIndexBits[] = {0, 32, 28, 18};
bool Fits(int value, int bits) {
  return bits >= 32 || (value >= -(1 << (bits - 1)) && value < (1 << (bits - 1)));
}
}  // namespace

char* CompactName::HeapText() const {
  return reinterpret_cast<char*>(static_cast<std::uintptr_t>(m_Bits & kPayload));
}

void CompactName::Release() {
  if (KindOf() == kHeap) delete[] HeapText();
  m_Bits = 0;
}

void CompactName::Assign(const char* text) {
  const size_t length = std::strlen(text);
  // Copied before the old one goes: the text may be this name's own.
  char* heap = nullptr;
  std::uint64_t inPlace = 0;
  if (length > kInPlaceLength) {
    heap = new char[length + 1];
    std::memcpy(heap, text, length + 1);
  } else {
    // The bytes in memory order, the kind in the last: a little-endian
    // word keeps the text readable where it lies, ended by a zero byte.
    unsigned char bytes[sizeof inPlace] = {};
    std::memcpy(bytes, text, length);
    bytes[sizeof inPlace - 1] = static_cast<unsigned char>(kInPlace);
    std::memcpy(&inPlace, bytes, sizeof inPlace);
  }
  Release();
  if (heap != nullptr)
    m_Bits = (std::uint64_t{kHeap} << kKindShift) | static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(heap));
  else if (length > 0)
    m_Bits = inPlace;
}

bool CompactName::AssignIndices(const int* indices, int count) {
  if (count < 1 || count > 3) return false;
  const int bits = kIndexBits[count];
  std::uint64_t packed = 0;
  for (int i = 0; i < count; ++i) {
    if (!Fits(indices[i], bits)) return false;
    const std::uint64_t field = static_cast<std::uint32_t>(indices[i]) & ((std::uint64_t{1} << bits) - 1);
    packed |= field << (bits * i);
  }
  Release();
  m_Bits = (static_cast<std::uint64_t>(kIndex1 + count - 1) << kKindShift) | packed;
  return true;
}

const char* CompactName::c_str() const {
  switch (KindOf()) {
    case kEmpty: return "";
    case kHeap: return HeapText();
    case kInPlace: return reinterpret_cast<const char*>(&m_Bits);
    default: break;
  }
  // Enough buffers for the names one message or path takes.
  constexpr int kBuffers = 16;
  thread_local char buffers[kBuffers][40];
  thread_local unsigned next = 0;
  char* out = buffers[next++ % kBuffers];
  const int count = static_cast<int>(KindOf()) - kIndex1 + 1;
  const int bits = kIndexBits[count];
  char* p = out;
  *p++ = '(';
  for (int i = 0; i < count; ++i) {
    const std::uint64_t field = (m_Bits >> (bits * i)) & ((std::uint64_t{1} << bits) - 1);
    // Sign-extended from `bits` bits.
    const std::int64_t value = static_cast<std::int64_t>(field << (64 - bits)) >> (64 - bits);
    if (i > 0) *p++ = ',';
    p = std::to_chars(p, out + sizeof buffers[0] - 2, value).ptr;
  }
  *p++ = ')';
  *p = '\0';
  return out;
}

}  // namespace vq_rt

VQ_PtrVectorObject::VQ_PtrVectorObject() = default;
VQ_PtrVectorObject::VQ_PtrVectorObject(const VQ_PtrVectorObject&) : m_RefCount(0) {}
VQ_PtrVectorObject& VQ_PtrVectorObject::operator=(const VQ_PtrVectorObject&) { return *this; }
VQ_PtrVectorObject::~VQ_PtrVectorObject() = default;

unsigned long VQ_PtrVectorObject::AddRef() {
  if (m_RefCount == UINT32_MAX) vq_rt::Raise("an object holds as many references as it can count");
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddRef))
    vq_rt::RecordCall(vq_rt::EventKind::AddRef, this).Numbers(static_cast<long long>(m_RefCount + 1));
  return ++m_RefCount;
}

unsigned long VQ_PtrVectorObject::Release() {
  if (m_RefCount == 0) vq_rt::Raise("Release of an object that holds no reference");
  unsigned long left = --m_RefCount;
  if (left == 0) delete this;
  return left;
}

void* VQ_PtrVectorObject::operator new(std::size_t bytes) {
  if (void* block = vq_rt::AllocateObject(bytes)) return block;
  throw std::bad_alloc();
}
void* VQ_PtrVectorObject::operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  return vq_rt::AllocateObject(bytes);
}
void VQ_PtrVectorObject::operator delete(void* block) noexcept { MyFree(block); }
void VQ_PtrVectorObject::operator delete(void* block, const std::nothrow_t&) noexcept { MyFree(block); }

VQ_Update::VQ_Update() = default;
VQ_Update::VQ_Update(const VQ_Update& other) = default;
VQ_Update& VQ_Update::operator=(const VQ_Update& other) = default;
VQ_Update::~VQ_Update() = default;

// ---------------------------------------------------------------------------

// Never destroyed: objects may outlive the runtime's static data at exit.
struct VQ_Containable::RareTable {
  std::mutex lock;
  std::unordered_map<const VQ_Containable*, std::unique_ptr<Rare>> entries;
  static RareTable& Get() {
    static RareTable* table = new RareTable;
    return *table;
  }
  static void Drop(const VQ_Containable* object) {
    std::unique_ptr<Rare> gone;
    RareTable& table = Get();
    std::lock_guard<std::mutex> hold(table.lock);
    auto found = table.entries.find(object);
    if (found == table.entries.end()) return;
    gone = std::move(found->second);
    table.entries.erase(found);
  }
};

VQ_Containable::VQ_Containable() = default;
VQ_Containable::VQ_Containable(const VQ_Containable& other) : VQ_Update(other), m_KindBits(other.m_KindBits) {}
VQ_Containable& VQ_Containable::operator=(const VQ_Containable& other) {
  VQ_Update::operator=(other);
  m_KindBits = other.m_KindBits;
  return *this;
}

VQ_Containable::~VQ_Containable() {
  // A property registered with an owner is the owner's member; the owner is
  // still alive (only its members are going).
  if (m_Role == Role::Property && m_Parent != nullptr) static_cast<VQ_Container*>(m_Parent)->RemoveProperty(this);
  if (m_HasRare) RareTable::Drop(this);
}

void VQ_Containable::RegisterIn(VQ_Container* owner, const char* name, const char* description, int direction,
                                bool flag, VQ_RegistrationForm form) {
  if (owner == nullptr) vq_rt::Raise("property \"%s\" registered without an owner", name ? name : "(null)");
  if (name == nullptr || *name == '\0') vq_rt::Raise("%s: a property needs a name", owner->DisplayName().c_str());
  if (m_Role == Role::Property)
    vq_rt::Raise("%s: \"%s\" is already registered as %s", owner->DisplayName().c_str(), name,
                 DisplayName().c_str());
  if (owner->FindProperty(name) != nullptr)
    vq_rt::Raise("%s: a property named \"%s\" is already registered", owner->DisplayName().c_str(), name);
  m_Name.Assign(name);
  if (description != nullptr) RareFields().description = std::make_unique<std::string>(description);
  else if (m_HasRare) RareFields().description.reset();
  if (direction != 0 || m_HasRare) RareFields().direction = direction;
  m_Flag = flag;
  m_Form = form;
  m_Role = Role::Property;
  m_Parent = owner;
  owner->AppendProperty(this);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddProperty)) {
    vq_rt::RecordCall call(vq_rt::EventKind::AddProperty, owner);
    call.Object(this).Name(name).Numbers(direction, flag ? 1 : 0, static_cast<long long>(form), owner->PropertyCount());
    if (description != nullptr) call.Text(description);
  }
}

void VQ_Containable::SetDirection(int direction) {
  if (direction != 0 || m_HasRare) RareFields().direction = direction;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::SetDirection)) vq_rt::RecordCall(vq_rt::EventKind::SetDirection, this).Name(m_Name.c_str()).Numbers(direction);
}

void VQ_Containable::UnsetIsToBeExported() {
  m_ToBeExported = false;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::UnsetIsToBeExported)) vq_rt::RecordCall(vq_rt::EventKind::UnsetIsToBeExported, this).Name(m_Name.c_str());
}

void VQ_Containable::HostPortType(int type) {
  if (type != 0 || m_HasRare) RareFields().hostPortType = type;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::HostPortType)) vq_rt::RecordCall(vq_rt::EventKind::HostPortType, this).Name(m_Name.c_str()).Numbers(type);
}

std::string VQ_Containable::DisplayName() const { return PathName(true); }

std::string VQ_Containable::PathName(bool nameTopLevel) const {
  switch (m_Role) {
    case Role::Property:
    case Role::Part: {
      const std::string owner = m_Parent->PathName(nameTopLevel);
      return owner.empty() ? std::string(m_Name.c_str()) : owner + "." + m_Name.c_str();
    }
    case Role::Element:
      return m_Parent->PathName(nameTopLevel) + m_Name.c_str();
    case Role::Linked:
      return m_Parent->PathName(nameTopLevel);
    case Role::Free:
      break;
  }
  if (const VQ_Containable* reference = NamedAfter()) return reference->PathName(false);
  if (!nameTopLevel) return "";
  if (auto* container = dynamic_cast<const VQ_Container*>(this))
    return vq_rt::SignatureName(container->VQ_DefaultDESCRIPTION());
  return std::string(m_Name.empty() ? "(unnamed)" : m_Name.c_str());
}

// A reference below this instance cannot name it: the names would go round.
void VQ_Containable::NameAfter(const VQ_Containable* reference) {
  for (const VQ_Containable* above = reference; above != nullptr;)
    if (above == this) return;
    else above = above->m_Parent != nullptr ? above->m_Parent : above->NamedAfter();
  if (reference != nullptr || m_HasRare) RareFields().namedAfter = reference;
}

VQ_Containable::Rare* VQ_Containable::LookUpRare() const {
  RareTable& table = RareTable::Get();
  std::lock_guard<std::mutex> hold(table.lock);
  auto found = table.entries.find(this);
  return found != table.entries.end() ? found->second.get() : nullptr;
}

VQ_Containable::Rare& VQ_Containable::RareFields() {
  RareTable& table = RareTable::Get();
  std::lock_guard<std::mutex> hold(table.lock);
  std::unique_ptr<Rare>& entry = table.entries[this];
  if (entry == nullptr) entry = std::make_unique<Rare>();
  m_HasRare = true;
  return *entry;
}

void VQ_Containable::AttachAsElement(VQ_Containable* array, const char* indexText) {
  m_Role = Role::Element;
  m_Parent = array;
  m_Name.Assign(indexText ? indexText : "");
}

bool VQ_Containable::AttachAsElement(VQ_Containable* array, const int* indices, int count) {
  if (!m_Name.AssignIndices(indices, count)) return false;
  m_Role = Role::Element;
  m_Parent = array;
  return true;
}

void VQ_Containable::AttachAsLinked(VQ_Containable* member) {
  m_Role = Role::Linked;
  m_Parent = member;
}

void VQ_Containable::AttachAsPart(VQ_Containable* owner, const char* name) {
  m_Role = Role::Part;
  m_Parent = owner;
  m_Name.Assign(name ? name : "");
}

void VQ_Containable::Detach() {
  if (m_Role != Role::Free) {
    m_Role = Role::Free;
    m_Parent = nullptr;
  }
}

// ---------------------------------------------------------------------------

VQ_VarParamProp::VQ_VarParamProp() = default;
VQ_VarParamProp::VQ_VarParamProp(const VQ_VarParamProp& other) : VQ_Containable(other) {}
VQ_VarParamProp& VQ_VarParamProp::operator=(const VQ_VarParamProp& other) {
  VQ_Containable::operator=(other);
  return *this;
}

VQ_VarParamProp::~VQ_VarParamProp() {
  if (Rare* rare = RareIfAny()) {
    std::vector<VQ_VarParamProp*> dependents;
    dependents.swap(rare->dependents);
    for (VQ_VarParamProp* dependent : dependents) dependent->DependencyGone(this);
  }
}

VQ_AssignStatus VQ_VarParamProp::Assign(VQ_Value*) {
  vq_rt::Raise("%s holds no value that can be assigned", DisplayName().c_str());
}

int VQ_VarParamProp::Integer() const { vq_rt::Raise("%s has no integer value", DisplayName().c_str()); }
double VQ_VarParamProp::Real() const { vq_rt::Raise("%s has no real value", DisplayName().c_str()); }
const char* VQ_VarParamProp::String() const { vq_rt::Raise("%s has no string value", DisplayName().c_str()); }

void VQ_VarParamProp::AddDependent(VQ_VarParamProp* dependent) {
  if (dependent == nullptr) return;
  std::vector<VQ_VarParamProp*>& dependents = RareFields().dependents;
  if (std::find(dependents.begin(), dependents.end(), dependent) == dependents.end()) dependents.push_back(dependent);
}

void VQ_VarParamProp::RemoveDependent(VQ_VarParamProp* dependent) {
  Rare* rare = RareIfAny();
  if (rare == nullptr) return;
  rare->dependents.erase(std::remove(rare->dependents.begin(), rare->dependents.end(), dependent),
                         rare->dependents.end());
}

void VQ_VarParamProp::DependencyGone(VQ_VarParamProp*) {}

VQ_Type::VQ_Type() = default;
VQ_Type::VQ_Type(const VQ_Type& other) : VQ_VarParamProp(other) {}
VQ_Type& VQ_Type::operator=(const VQ_Type& other) {
  VQ_VarParamProp::operator=(other);
  return *this;
}
VQ_Type::~VQ_Type() = default;

VQ_Type* VQ_Type::AddProperty(VQ_Container* owner, const char* name, const char* description, int direction,
                              bool flag) {
  RegisterIn(owner, name, description, direction, flag, VQ_RegistrationForm::Plain);
  return this;
}
