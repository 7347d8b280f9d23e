// Makes the tool objects the host runs.
#pragma once

#include <functional>
#include <memory>

#include "tools/tool.h"

namespace tw {

using ToolFactory = std::function<std::unique_ptr<TTool>(int tool, IToolRun& run)>;

// The program's own tool for each tool number 0-3; nullptr for others.
std::unique_ptr<TTool> MakeTool(int tool, IToolRun& run);

}  // namespace tw
