#include "support/Hardening.h"

namespace wm {

// The dynamic linker searches only the system's folders and those the
// program was linked with: nothing to restrict.
void HardenProcess() {}

}  // namespace wm
