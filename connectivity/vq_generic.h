#pragma once
// Generic model, stream and structure types, and the by-name reference to a
// global structure instance.
#include "vq_ports.h"

class VQ_GENERICMODEL : public VQ_GeneratedLevel<VQ_GENERICMODEL, VQ_ModelTypeEx2> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_GENERICMODEL(bool bConstruct = true);
  ~VQ_GENERICMODEL() override;
  VQ_GENERICMODEL& operator=(const VQ_GENERICMODEL& other);
  VQ_GENERICMODEL& operator*() { return *this; }
  void Construct();
  VQ_COMPONENTLISTNAME* ComponentList() override;

  VQ_STRINGPARAMETER USERNOTES;
  VQ_COMPONENTLISTNAME COMPONENTLIST;
  VQ_CONTROLPORT INPUTSIGNAL;
  VQ_CONTROLPORT OUTPUTSIGNAL;
};

// The stream has the model base; its two unconnectable ports come before
// the signal ports.
class VQ_GENERICSTREAM : public VQ_GeneratedLevel<VQ_GENERICSTREAM, VQ_ModelTypeEx2> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_GENERICSTREAM(bool bConstruct = true);
  ~VQ_GENERICSTREAM() override;
  VQ_GENERICSTREAM& operator=(const VQ_GENERICSTREAM& other);
  VQ_GENERICSTREAM& operator*() { return *this; }
  void Construct();
  VQ_COMPONENTLISTNAME* ComponentList() override;

  VQ_STRINGPARAMETER USERNOTES;
  VQ_COMPONENTLISTNAME COMPONENTLIST;
  VQ_CONTROLPORT VQ_UNCONNECTABLEINPUT;
  VQ_CONTROLPORT VQ_UNCONNECTABLEOUTPUT;
  VQ_CONTROLPORT INPUTSIGNAL;
  VQ_CONTROLPORT OUTPUTSIGNAL;
};

class VQ_GENERICSTRUCTURE : public VQ_GeneratedLevel<VQ_GENERICSTRUCTURE, VQ_StructureTypeEx> {
 public:
  static const char* VQ_ContainerId();
  explicit VQ_GENERICSTRUCTURE(bool bConstruct = true);
  ~VQ_GENERICSTRUCTURE() override;
  VQ_GENERICSTRUCTURE& operator=(const VQ_GENERICSTRUCTURE& other);
  VQ_GENERICSTRUCTURE& operator*() { return *this; }
  void Construct();
  VQ_COMPONENTLISTNAME* ComponentList() override;

  VQ_STRINGPARAMETER USERNOTES;
  VQ_COMPONENTLISTNAME COMPONENTLIST;
};

// A by-name reference to a global structure instance of type T (the library
// exports the one over VQ_GENERICSTRUCTURE).
template <class T>
class VQ_GLOBALSTRUCTUREREFNAME : public VQ_GlobalStructureRefBase {
 public:
  VQ_GLOBALSTRUCTUREREFNAME();
  ~VQ_GLOBALSTRUCTUREREFNAME() override;
  VQ_GLOBALSTRUCTUREREFNAME& operator=(const VQ_GLOBALSTRUCTUREREFNAME& other);
  // The structure the runtime's Dereference yields; it has checked the type.
  T& operator*() { return static_cast<T&>(*Dereference()); }
  operator T&() { return **this; }

  // A new T with its construct flag set, owned by the runtime; null when
  // the heap refuses.
  VQ_ModelType* CreateDummyInstance() override;
  // Whether model's type is T or derives from it; false for no model.
  bool CheckCompatibleStructureType(VQ_ModelType* model) override;
};

extern template class VQ_GLOBALSTRUCTUREREFNAME<VQ_GENERICSTRUCTURE>;

BRANTEL_DECLARE_FACTORY(GENERICMODEL)
BRANTEL_DECLARE_FACTORY(GENERICSTREAM)
BRANTEL_DECLARE_FACTORY(GENERICSTRUCTURE)
