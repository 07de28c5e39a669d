#include "ui/ExplanationFormUnit.h"

namespace wm {

// There is no window here: the usage text goes to standard output.
Status ShowUsage() {
  return WriteUsageText();
}

}  // namespace wm
