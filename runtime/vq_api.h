#pragma once
// Export marker of the modelling runtime.
//
// Rule for this runtime's headers: nothing that allocates or frees may be
// inline. The model library replaces operator new/delete inside its own
// module, so memory taken by inline code compiled into the library would be
// released by the runtime's allocator (or the other way round). Constructors,
// destructors, copies and anything touching a std container are therefore
// defined in the runtime's .cpp files, and no std container crosses the API
// by value.
#define KYV_API __attribute__((visibility("default")))
