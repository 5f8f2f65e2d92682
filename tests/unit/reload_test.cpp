#include "main/reload.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace {

TEST(Reloader, StartsTheProgramByNameWaitsThenEndsOnceWhateverIsClickedMeanwhile) {
  for (const bool starts : {true, false}) {
    fakes::ManualClock clock;
    fakes::CountingPump pump{clock, 0.1};
    fakes::RecordingLauncher launcher;
    launcher.succeed = starts;
    zurelo::Reloader reloader{launcher, clock, pump};
    int ends = 0;
    double ended_after = -1;
    const double start = clock.now;
    const auto end = [&] {
      ++ends;
      ended_after = clock.now - start;
    };
    // A second click while the first waits must not start another copy.
    pump.on_dispatch = [&] { reloader.Reload(end); };
    reloader.Reload(end);
    EXPECT_EQ(launcher.started, std::vector<std::wstring>{L"Zurelo.exe"}) << starts;
    EXPECT_EQ(ends, 1) << starts;
    EXPECT_GE(ended_after, 0.3) << starts;
    EXPECT_LT(ended_after, 0.5) << starts;
  }
}

}  // namespace
