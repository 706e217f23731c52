#include "vq_structure_ref.h"

#include <string>
#include <utility>
#include <vector>

#include "vq_error.h"

namespace {

std::vector<std::pair<std::string, VQ_ModelType*>>& GlobalStructures() {
  static std::vector<std::pair<std::string, VQ_ModelType*>> structures;
  return structures;
}

std::vector<std::pair<std::string, VQ_ModelType*>>::iterator FindEntry(const char* name) {
  auto& structures = GlobalStructures();
  for (auto it = structures.begin(); it != structures.end(); ++it)
    if (XUValue::CompareCI(it->first.c_str(), name) == 0) return it;
  return structures.end();
}

// Holds `next` in `slot` instead of what it held.
void Hold(VQ_ModelType*& slot, VQ_ModelType* next) {
  if (next == slot) return;
  if (next != nullptr) next->AddRef();
  VQ_ModelType* old = slot;
  slot = next;
  if (old != nullptr) old->Release();
}

}  // namespace

VQ_GlobalStructureRefBase::VQ_GlobalStructureRefBase(VQ_ModelType* model) : VQ_STRINGPARAMETER(true) {
  Hold(m_Model, model);
}

VQ_GlobalStructureRefBase& VQ_GlobalStructureRefBase::operator=(const VQ_GlobalStructureRefBase& other) {
  VQ_STRINGPARAMETER::operator=(other);
  Hold(m_Model, other.m_Model);
  return *this;
}

VQ_GlobalStructureRefBase::~VQ_GlobalStructureRefBase() {
  Hold(m_Model, nullptr);
  delete m_Dummy;
}

VQ_ModelType* VQ_GlobalStructureRefBase::Dereference() {
  const char* name = v();
  if (*name != '\0') {
    VQ_ModelType* named = FindGlobalStructure(name);
    if (named == nullptr) vq_rt::Raise("%s: \"%s\" names no global structure", DisplayName().c_str(), name);
    return Checked(named, name);
  }
  if (m_Model != nullptr) return Checked(m_Model, "the instance it was given");
  if (m_Dummy == nullptr) {
    m_Dummy = CreateDummyInstance();
    if (m_Dummy == nullptr) vq_rt::Raise("%s: no dummy structure instance could be made", DisplayName().c_str());
  }
  return m_Dummy;
}

VQ_ModelType* VQ_GlobalStructureRefBase::Checked(VQ_ModelType* instance, const char* what) {
  if (!CheckCompatibleStructureType(instance))
    vq_rt::Raise("%s: %s (%s) is not a structure of the type this reference takes", DisplayName().c_str(), what,
                 vq_rt::SignatureName(instance->VQ_DefaultDESCRIPTION()).c_str());
  return instance;
}

VQ_ModelType* VQ_GlobalStructureRefBase::CreateDummyInstance() { return nullptr; }
bool VQ_GlobalStructureRefBase::CheckCompatibleStructureType(VQ_ModelType* model) { return model != nullptr; }

void VQ_GlobalStructureRefBase::AddGlobalStructure(const char* name, VQ_ModelType* instance) {
  if (name == nullptr || *name == '\0') vq_rt::Raise("a global structure needs a name");
  if (instance == nullptr) vq_rt::Raise("global structure \"%s\": no instance given", name);
  auto it = FindEntry(name);
  if (it == GlobalStructures().end()) {
    GlobalStructures().emplace_back(name, nullptr);
    it = GlobalStructures().end() - 1;
  }
  Hold(it->second, instance);
}

void VQ_GlobalStructureRefBase::RemoveGlobalStructure(const char* name) {
  if (name == nullptr) return;
  auto it = FindEntry(name);
  if (it == GlobalStructures().end()) return;
  VQ_ModelType* instance = it->second;
  GlobalStructures().erase(it);
  instance->Release();
}

VQ_ModelType* VQ_GlobalStructureRefBase::FindGlobalStructure(const char* name) {
  if (name == nullptr) return nullptr;
  auto it = FindEntry(name);
  return it == GlobalStructures().end() ? nullptr : it->second;
}
