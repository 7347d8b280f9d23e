#include "tools/tools.h"

#include "tools/dropper/dropper.h"
#include "tools/magnifier/magnifier.h"
#include "tools/measurer/measurer.h"
#include "tools/screenshot/screenshot.h"

namespace tw {

std::unique_ptr<TTool> MakeTool(int tool, IToolRun& run, const ToolPorts& ports) {
  switch (tool) {
    case kMagnifier: return std::make_unique<TMagnifier>(run);
    case kScreenshot: return std::make_unique<TScreenshot>(run, ports);
    case kMeasurer: return std::make_unique<TMeasurer>(run);
    case kDropper: return std::make_unique<TDropper>(run);
    default: return nullptr;
  }
}

ToolFactory ProgramTools(const ToolPorts& ports) {
  return [ports](int tool, IToolRun& run) { return MakeTool(tool, run, ports); };
}

}  // namespace tw
