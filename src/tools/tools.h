// Makes the tool objects the host runs.
#pragma once

#include <functional>
#include <memory>

#include "platform/image_export.h"
#include "platform/ports.h"
#include "platform/save_dialog_port.h"
#include "tools/tool.h"

namespace tw {

// What the tools reach Windows through beyond the run itself: the
// Screenshot's clipboard, save dialog and image files.
struct ToolPorts {
  IClipboardPort& clipboard;
  ISaveDialogPort& saveDialog;
  IImageExport& images;
};

using ToolFactory = std::function<std::unique_ptr<TTool>(int tool, IToolRun& run)>;

// The program's own tool for each tool number 0-3; nullptr for others.
std::unique_ptr<TTool> MakeTool(int tool, IToolRun& run, const ToolPorts& ports);

// A factory of the program's own tools on `ports`, which must outlive it.
ToolFactory ProgramTools(const ToolPorts& ports);

}  // namespace tw
