#pragma once
// Fakes of the small seams: a manual clock, an in-memory settings
// store, an in-memory file output and a recording launcher.

#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/clock.h"
#include "platform/file_output.h"
#include "platform/launcher.h"
#include "platform/settings_store.h"

namespace fakes {

class ManualClock : public platform::Clock {
 public:
  double now = 1000.0;
  double NowSeconds() override { return now; }
};

class MemorySettings : public platform::SettingsStore {
 public:
  std::map<std::tuple<std::wstring, std::wstring, std::wstring>, std::wstring> values;
  bool fail_writes = false;
  int writes = 0;

  std::wstring Get(const std::wstring& app, const std::wstring& section,
                   const std::wstring& key) override {
    auto it = values.find({app, section, key});
    return it == values.end() ? L"" : it->second;
  }
  bool Save(const std::wstring& app, const std::wstring& section, const std::wstring& key,
            const std::wstring& value) override {
    ++writes;
    if (fail_writes) return false;
    values[{app, section, key}] = value;
    return true;
  }
};

class MemoryFiles : public platform::FileOutput {
 public:
  std::map<std::wstring, std::string> files;
  std::optional<platform::FileError> fail_with;
  int writes = 0;  // tried, failed or not

  std::optional<platform::FileError> WriteWhole(const std::wstring& path,
                                                const std::string& bytes) override {
    ++writes;
    if (fail_with) return fail_with;
    files[path] = bytes;
    return std::nullopt;
  }
};

class RecordingLauncher : public platform::Launcher {
 public:
  std::vector<std::wstring> started;
  bool succeed = true;
  bool StartMinimized(const std::wstring& file_name) override {
    started.push_back(file_name);
    return succeed;
  }
};

}  // namespace fakes
