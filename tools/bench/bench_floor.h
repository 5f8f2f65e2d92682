#pragma once
// The floor program's window class, which the benchmark driver looks for.
inline constexpr wchar_t kFloorClass[] = L"ZureloBenchFloor";
