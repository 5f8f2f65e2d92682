// The end-to-end driver: zurelo_e2e.exe --zurelo <Zurelo.exe> --peer <zurelo_peer.exe>
// [GoogleTest flags]. It runs under Wine beside the programs it starts.

#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdio>

#include "harness.h"
#include "platform/win32/handles.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // The paths are read wide, so that any directory name survives.
  int wargc = 0;
  const platform::win32::UniqueArgv wargv(CommandLineToArgvW(GetCommandLineW(), &wargc));
  if (!wargv) return 2;
  e2e::Programs& programs = e2e::ProgramPaths();
  for (int i = 1; i + 1 < wargc; ++i) {
    const std::wstring key = wargv.get()[i];
    if (key == L"--zurelo") programs.zurelo = e2e::WindowsPath(wargv.get()[++i]);
    if (key == L"--peer") programs.peer = e2e::WindowsPath(wargv.get()[++i]);
  }
  if (programs.zurelo.empty() || programs.peer.empty()) {
    std::fprintf(stderr, "usage: zurelo_e2e --zurelo <Zurelo.exe> --peer <zurelo_peer.exe>\n");
    return 2;
  }
  return RUN_ALL_TESTS();
}
