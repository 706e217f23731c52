#pragma once
// References to global structure instances by name.
#include "vq_container.h"

// A string parameter naming a global structure instance. While it names
// none it stands for a dummy instance of the structure type it takes, which
// the reference makes on first use and owns.
class KYV_API VQ_GlobalStructureRefBase : public VQ_STRINGPARAMETER {
 public:
  // `model`: the instance the reference stands for while it names none;
  // null to use the dummy instance. The reference keeps it alive.
  explicit VQ_GlobalStructureRefBase(VQ_ModelType* model);
  VQ_GlobalStructureRefBase(const VQ_GlobalStructureRefBase& other) = delete;
  // Copies the name and the instance given at construction, not the dummy.
  VQ_GlobalStructureRefBase& operator=(const VQ_GlobalStructureRefBase& other);
  ~VQ_GlobalStructureRefBase() override;

  // The structure instance the reference stands for. VQ_Error naming the
  // reference and its value when the name is no global structure, when the
  // instance is not of a compatible type, or when no dummy can be made.
  VQ_ModelType* Dereference();

  // Supplied by the structure type: a new instance of it, owned by whoever
  // asked (null when none can be made), and whether `model` is of it.
  virtual VQ_ModelType* CreateDummyInstance();
  virtual bool CheckCompatibleStructureType(VQ_ModelType* model);

  // The global structure instances, by name without regard to letter case.
  // A registered instance is kept alive until it is removed or replaced.
  static void AddGlobalStructure(const char* name, VQ_ModelType* instance);
  static void RemoveGlobalStructure(const char* name);
  static VQ_ModelType* FindGlobalStructure(const char* name);

 private:
  VQ_ModelType* Checked(VQ_ModelType* instance, const char* what);

  VQ_ModelType* m_Model = nullptr;
  VQ_ModelType* m_Dummy = nullptr;
};
