// A type exported under a name the host would never find (it looks up
// RODFactory): refused at compile time.
#include "vq_module_frame.h"

using VQ_Rod = VQ_GENERICMODEL;
BRANTEL_EXPORT_TYPE(Rod)
