#include "main/reload.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace {

// Records how many programs had been started when the claim was given up.
class RecordingClaim : public platform::InstanceClaim {
 public:
  explicit RecordingClaim(const fakes::RecordingLauncher& launcher) : launcher_(launcher) {}
  std::vector<std::size_t> given_up_after;
  void GiveUp() override { given_up_after.push_back(launcher_.started.size()); }

 private:
  const fakes::RecordingLauncher& launcher_;
};

TEST(Reloader, StartsTheProgramByNameOnceWhateverIsClickedMeanwhile) {
  for (const bool starts : {true, false}) {
    fakes::RecordingLauncher launcher;
    launcher.succeed = starts;
    RecordingClaim claim{launcher};
    zurelo::Reloader reloader{launcher, claim};
    // The copy ends after the wait whether or not the new one started.
    EXPECT_TRUE(reloader.Reload()) << starts;
    // A second click while the first waits must not start another copy.
    EXPECT_FALSE(reloader.Reload()) << starts;
    EXPECT_EQ(launcher.started, std::vector<std::wstring>{L"Zurelo.exe"}) << starts;
    // Given up before the start, or the new copy would take this one for a running copy.
    EXPECT_EQ(claim.given_up_after, std::vector<std::size_t>{0}) << starts;
  }
}

}  // namespace
