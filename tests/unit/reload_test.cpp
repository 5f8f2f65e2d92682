#include "main/reload.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace {

TEST(Reloader, StartsTheProgramByNameOnceWhateverIsClickedMeanwhile) {
  for (const bool starts : {true, false}) {
    fakes::RecordingLauncher launcher;
    launcher.succeed = starts;
    zurelo::Reloader reloader{launcher};
    // The copy ends after the wait whether or not the new one started.
    EXPECT_TRUE(reloader.Reload()) << starts;
    // A second click while the first waits must not start another copy.
    EXPECT_FALSE(reloader.Reload()) << starts;
    EXPECT_EQ(launcher.started, std::vector<std::wstring>{L"Zurelo.exe"}) << starts;
  }
}

}  // namespace
