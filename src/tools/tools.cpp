#include "tools/tools.h"

#include "tools/dropper/dropper.h"
#include "tools/magnifier/magnifier.h"
#include "tools/measurer/measurer.h"
#include "tools/screenshot/screenshot.h"

namespace tw {

std::unique_ptr<TTool> MakeTool(int tool, IToolRun& run) {
  switch (tool) {
    case kMagnifier: return std::make_unique<TMagnifier>(run);
    case kScreenshot: return std::make_unique<TScreenshot>(run);
    case kMeasurer: return std::make_unique<TMeasurer>(run);
    case kDropper: return std::make_unique<TDropper>(run);
    default: return nullptr;
  }
}

}  // namespace tw
