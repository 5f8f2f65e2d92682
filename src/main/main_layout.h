#pragma once
// The main window's controls, in twips.

#include <vector>

#include "ui/layout.h"

namespace layout {

inline constexpr int kMainClientWidth = 3975;
inline constexpr int kMainClientHeight = 3825;

// In creation order, which is the tab order of the controls that take the focus. Controls
// inside a frame are placed relative to the client area (the frame's position added).
const std::vector<Control>& MainControls();

}  // namespace layout
