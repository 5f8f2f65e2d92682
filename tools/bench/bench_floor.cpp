// The least a title refresh can do: a window whose 10 ms timer finds the player's main
// window by its class and reads its title, and nothing else. scripts/bench measures it
// beside Zurelo under the same conditions, so Zurelo's CPU figures read as multiples of it.

#include "bench_floor.h"

#include <windows.h>

#include <string>

namespace {

constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 10;

// Read into and never grown, so a tick allocates nothing.
std::wstring g_title(256, L'\0');

LRESULT CALLBACK FloorProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (HWND player = FindWindowW(L"Winamp v1.x", nullptr)) {
        GetWindowTextW(player, g_title.data(), static_cast<int>(g_title.size()));
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(w, msg, wp, lp);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = FloorProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kFloorClass;
  if (!RegisterClassW(&wc)) return 1;
  // Destroyed by its own WM_CLOSE handling, which also ends the loop below.
  HWND w = CreateWindowW(kFloorClass, L"Zurelo bench floor", WS_OVERLAPPEDWINDOW, 0, 200, 240, 80,
                         nullptr, nullptr, instance, nullptr);
  if (!w) return 1;
  SetTimer(w, kRefreshTimer, kRefreshMs, nullptr);
  ShowWindow(w, show);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
