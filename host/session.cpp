#include "session.h"

#include "vq_dynlib.h"
#include "vq_error.h"
#include "vq_inspect.h"
#include "vq_links.h"
#include "vq_recorder.h"

namespace vqhost {

namespace {

constexpr const char* kDefaultType = "DISTRIBUTION1D";

using Factory = VQ_ModelType* (*)();

// Names the types there are: the library's own fourteen, or for a model
// library of one's own those of the fourteen it reaches (its own it names
// itself, by the factories it exports).
std::string UnknownType(void* library, const std::string& type, const Options& options) {
  std::string message = "unknown type \"" + vq_rt::UserText(type) + "\"";
  if (options.library.empty()) return message + "; the types are " + TypeNames();
  message += ": " + vq_rt::UserText(options.library) + " exports no " + vq_rt::UserText(type) + "Factory";
  std::string reached;
  for (const TypeInfo& known : TopLevelTypes())
    if (vq_rt::FindSymbol(library, (std::string(known.name) + "Factory").c_str()) != nullptr)
      reached += (reached.empty() ? "" : ", ") + std::string(known.name);
  if (!reached.empty()) message += "; of the library's types it reaches " + reached;
  return message;
}

std::string DefaultLibrary() {
  const std::string directory = vq_rt::RuntimeDirectory();
#ifdef BRANTEL_LIBRARY_FILE
  const std::string file = BRANTEL_LIBRARY_FILE;
#else
  const std::string file = vq_rt::LibraryFileName("Brantel300_1");
#endif
  return directory.empty() ? file : directory + "/" + file;
}

Factory FindFactory(void* library, const std::string& type) {
  void* symbol = vq_rt::FindSymbol(library, (type + "Factory").c_str());
  if (symbol == nullptr) throw VQ_Error("unknown type \"" + vq_rt::UserText(type) + "\"");
  return reinterpret_cast<Factory>(symbol);
}

// Creates an instance for every reference of the root to a type of the
// library and links it, as a model would hold it. A reference to a runtime
// type (a section's MINNODECOUNT) is nothing the library reads; it stays
// unlinked.
void LinkReferences(void* library, VQ_ModelType& root) {
  for (int i = 0; i < root.PropertyCount(); ++i) {
    auto* reference = dynamic_cast<VQ_ExternalBase*>(root.PropertyAt(i));
    if (reference == nullptr || reference->LinkedIfAny() != nullptr) continue;
    const std::string type = vq_rt::SignatureName(reference->ExternalTypeName());
    if (vq_rt::FindSymbol(library, (type + "Factory").c_str()) == nullptr) continue;
    HeldInstance target(FindFactory(library, type)());
    if (target == nullptr) throw VQ_Error("no instance could be made for " + reference->DisplayName());
    reference->Link(target.get());
  }
}

// Runs the driver and returns the frame calls the runtime received from the
// root itself, in order; a derived type shows those of each class level.
// Only these kinds are kept, so the log stays small for models with many
// equations.
std::vector<std::string> RunRecordingFrames(vq_rt::Driver& driver, const VQ_ModelType& root) {
  using vq_rt::EventKind;
  struct Recording {
    Recording() {
      vq_rt::Recorder::KeepOnly({EventKind::SetDims, EventKind::ExecuteAssignments, EventKind::SetUpEquations,
                                 EventKind::SetLocalEqnCount, EventKind::JacPattern, EventKind::ResetExpressions});
      vq_rt::Recorder::Clear();
      vq_rt::Recorder::Enable(true);
    }
    ~Recording() {
      vq_rt::Recorder::Enable(false);
      vq_rt::Recorder::KeepOnly({});
      vq_rt::Recorder::Clear();
    }
  } recording;
  driver.Run();
  std::vector<std::string> frames;
  for (const vq_rt::Event& event : vq_rt::Recorder::Events())
    if (event.subject == static_cast<const VQ_Container*>(&root)) frames.push_back(vq_rt::Describe(event));
  return frames;
}

}  // namespace

void ReleaseInstance::operator()(VQ_ModelType* instance) const { instance->Release(); }

Session::Session(const Options& options) {
  // The library lies beside the runtime, in the build tree and installed alike.
  std::string path = options.library.empty() ? DefaultLibrary() : options.library;
  std::string error;
  void* library = vq_rt::OpenLibrary(path, error);
  if (library == nullptr) throw VQ_Error("cannot load the model library: " + vq_rt::OneLine(error));
  std::string type = options.type.empty() ? kDefaultType : options.type;
  if (vq_rt::FindSymbol(library, (type + "Factory").c_str()) == nullptr)
    throw VQ_Error(UnknownType(library, type, options));
  m_Root.reset(FindFactory(library, type)());
  if (m_Root == nullptr) throw VQ_Error("no instance of " + type + " could be made");
  LinkReferences(library, *m_Root);
  for (const auto& [propertyPath, text] : options.sets) vq_rt::SetUserValueAtPath(*m_Root, propertyPath, text);
  m_Driver = std::make_unique<vq_rt::Driver>(*m_Root);
  m_Frames = RunRecordingFrames(*m_Driver, *m_Root);
}

Session::~Session() = default;

}  // namespace vqhost
