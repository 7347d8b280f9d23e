#include "fuzz/fuzz_targets.h"

namespace tw::fuzz {

std::vector<const FuzzTarget*> AllFuzzTargets() {
  return {&RegistrySettingsTarget(), &RegistryTextTarget(), &IconListTarget(), &CommandLineTarget(),
          &GdiplusLibraryTarget()};
}

}  // namespace tw::fuzz
