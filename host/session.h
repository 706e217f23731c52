#pragma once
#include <memory>
#include <string>
#include <vector>

#include "options.h"
#include "vq_driver.h"

namespace vqhost {

// Holds one reference of the host to an instance, given back on release.
struct ReleaseInstance {
  void operator()(VQ_ModelType* instance) const;
};
using HeldInstance = std::unique_ptr<VQ_ModelType, ReleaseInstance>;

// One instance of the type the options name, loaded from the model library,
// linked to an instance per reference, given the user's values and driven
// through both passes. What the report shows; the report itself writes
// nothing until all of this has succeeded.
class Session {
 public:
  // Raises VQ_Error when the library, the type or a setting is refused or a
  // pass fails.
  explicit Session(const Options& options);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  VQ_ModelType& Root() const { return *m_Root; }
  const vq_rt::Driver& Driver() const { return *m_Driver; }
  // The frame calls the runtime received from the root, one line each.
  const std::vector<std::string>& Frames() const { return m_Frames; }

 private:
  HeldInstance m_Root;
  std::unique_ptr<vq_rt::Driver> m_Driver;  // after m_Root, so that it goes first
  std::vector<std::string> m_Frames;
};

}  // namespace vqhost
