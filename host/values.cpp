#include "values.h"

#include "vq_matrix.h"
#include "vq_params.h"

namespace vqhost {

void ForEachValue(VQ_Container& root, const vq_rt::PathNamer& namer,
                  const std::function<void(const std::string& path, const XUValue& value)>& visit) {
  XUValue value;
  auto show = [&](VQ_Containable& object) {
    if (!vq_rt::HoldsValue(object)) return;
    static_cast<VQ_VarParam&>(object).GetValue(value);
    visit(namer.Path(object), value);
  };
  // Without leaves the walk leaves out the elements of arrays whose
  // elements hold nothing further; they follow their array directly in the
  // full walk, so those that hold values are shown right there.
  for (VQ_Containable* object : vq_rt::Reachable(root, false)) {
    show(*object);
    auto* matrix = dynamic_cast<VQ_Matrix*>(object);
    if (matrix == nullptr) continue;
    VQ_Type* first = nullptr;
    for (int slot = 0; first == nullptr && slot < matrix->ElementSlots(); ++slot) first = matrix->ElementAtSlot(slot);
    if (first == nullptr || !vq_rt::HoldsValue(*first)) continue;
    for (int slot = 0; slot < matrix->ElementSlots(); ++slot)
      if (VQ_Type* element = matrix->ElementAtSlot(slot)) show(*element);
  }
}

}  // namespace vqhost
