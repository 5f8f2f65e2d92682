#pragma once
// The settings window's controls, in twips.

#include <vector>

#include "ui/layout.h"

namespace layout {

inline constexpr int kSettingsClientWidth = 4215;
inline constexpr int kSettingsClientHeight = 2175;

// In creation order, which is the tab order.
const std::vector<Control>& SettingsControls();

}  // namespace layout
