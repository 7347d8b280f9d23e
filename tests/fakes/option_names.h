// The 24 option values of the options key, in the order SaveSettings writes
// them, spelled out independently of the store so that tests can hold it to
// the order.
#pragma once

#include <string>
#include <vector>

namespace tw::fakes {

inline const std::vector<std::string> kOptionNamesInSaveOrder = {
    "MagnifierIcon",  "ScreenshotIcon", "MeasurerIcon", "DropperIcon",     "ZoomWidth",    "ZoomHeight",
    "Scale",          "HighContrast",   "MagnifierKey", "ScreenshotKey",   "MeasurerKey",  "DropperKey",
    "MagnifierCursor", "InfoScale",     "ScreenshotPosX", "ScreenshotPosY", "MeasurerPosX", "MeasurerPosY",
    "DropperPosX",    "DropperPosY",    "DPI",          "JPEGQuality",     "JPEGProgressive", "AutoStart"};

}  // namespace tw::fakes
