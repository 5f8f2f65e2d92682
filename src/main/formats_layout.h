#pragma once
// The formats window's controls, in twips.

#include <vector>

#include "ui/layout.h"

namespace layout {

inline constexpr int kFormatsClientWidth = 7800;
inline constexpr int kFormatsClientHeight = 6360;

// In creation order, which is the tab order.
const std::vector<Control>& FormatsControls();

}  // namespace layout
