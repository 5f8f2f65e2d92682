#pragma once
// The base of every end-to-end test: a clean settings store, a private folder, and the
// processes a test starts, all stopped when it ends.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "main/chat_clients.h"
#include "main/control_ids.h"
#include "main/formats_ids.h"
#include "settings/settings_ids.h"

namespace e2e {

class E2eTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearSettings(); }

  void TearDown() override {
    zurelo_.Stop();
    // A copy that "Reload" started and a failed test left running would disturb the next
    // test: close it too, found by the pid of its window.
    for (HWND left : TopLevelWindows(kMainClass, 0, false)) {
      Process copy = Process::Open(ProcessOf(left));
      PostMessageW(left, WM_CLOSE, 0, 0);
      copy.WaitExit(std::chrono::seconds(5));
    }
    for (auto& peer : peers_) peer->Stop();
    ClearSettings();
  }

  // Starts a peer and waits for its windows; nullptr (and a failure) when it does not come.
  Peer* StartPeer(const std::string& role, const std::optional<std::wstring>& title = std::nullopt,
                  const std::vector<std::wstring>& options = {}) {
    auto peer = std::make_unique<Peer>();
    const std::wstring log = dir_.File(std::wstring(role.begin(), role.end()) + L"-" +
                                       std::to_wstring(peers_.size()) + L".log");
    if (!peer->Start(role, log, title, options)) {
      ADD_FAILURE() << "the " << role << " peer did not start: " << peer->Describe();
      return nullptr;
    }
    peers_.push_back(std::move(peer));
    return peers_.back().get();
  }

  // Starts the program and waits until its label shows the expected text.
  ::testing::AssertionResult StartZurelo(const std::wstring& expected_label) {
    if (::testing::AssertionResult started = zurelo_.Start(); !started) return started;
    if (!zurelo_.WaitLabel(expected_label)) {
      return ::testing::AssertionFailure() << "the label never showed the expected song";
    }
    return ::testing::AssertionSuccess();
  }

  TempDir dir_;
  Zurelo zurelo_;
  std::vector<std::unique_ptr<Peer>> peers_;
};

}  // namespace e2e
