#include "main/now_playing_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace {

// The now-playing file: the song alone in UTF-8 with its mark while the player plays it,
// nothing while it does not, written only when that changes; a failure is told once and
// tried again on the timer until a write succeeds.
TEST(NowPlayingFile, HoldsWhatPlaysAndTriesAgainAfterAFailureToldOnce) {
  struct View : zurelo::NowPlayingFileView {
    bool timer = false;
    std::vector<std::wstring> told;
    void SetFileRetryTimer(bool on) override { timer = on; }
    void TellFileFailure(const std::wstring& text) override { told.push_back(text); }
  } view;
  fakes::MemoryFiles files;
  zurelo::NowPlayingFile file(files, view);
  const std::wstring path = L"C:\\obs\\np.txt";
  const std::string mark = "\xEF\xBB\xBF";
  file.Show(L"Caf\u00e9\tTacvba - Eres", true);
  EXPECT_EQ(files.writes, 0) << "not chosen";
  file.Follow(path);
  EXPECT_EQ(files.files[path], mark + "Caf\xC3\xA9 Tacvba - Eres");
  file.Show(L"Caf\u00e9\tTacvba - Eres", true);
  EXPECT_EQ(files.writes, 1);
  // Another file chosen while the same song plays is written at once.
  file.Follow(L"C:\\obs\\other.txt");
  EXPECT_EQ(files.files[L"C:\\obs\\other.txt"], mark + "Caf\xC3\xA9 Tacvba - Eres");
  file.Follow(path);
  // Paused, stopped or no player: empty, and the song again once it plays again.
  file.Show(L"Caf\u00e9\tTacvba - Eres", false);
  EXPECT_EQ(files.files[path], "");
  file.Show(L"Caf\u00e9\tTacvba - Eres", true);
  EXPECT_EQ(files.files[path], mark + "Caf\xC3\xA9 Tacvba - Eres");

  files.fail_with = platform::FileError{32, L"The file is in use."};
  file.Show(L"A - B", true);
  file.Show(L"C - D", true);
  file.Retry();
  EXPECT_EQ(view.told, std::vector<std::wstring>{L"The now-playing file cannot be written:\n"
                                                 L"C:\\obs\\np.txt\n\n"
                                                 L"Error 32: The file is in use.\n\n"
                                                 L"Zurelo tries again every few seconds."});
  EXPECT_TRUE(view.timer);
  files.fail_with.reset();
  file.Retry();
  EXPECT_EQ(files.files[path], mark + "C - D") << "the retry writes what plays now";
  EXPECT_FALSE(view.timer);
  // Its folder goes, and the pause finds it gone; back before the same song plays on, the
  // file is written again, though the song is the one it last held.
  files.fail_with = platform::FileError{3, L"The path was not found."};
  files.files.erase(path);
  file.Show(L"C - D", false);
  EXPECT_EQ(view.told.size(), 2u) << "a success ends the silence";
  files.fail_with.reset();
  file.Show(L"C - D", true);
  EXPECT_EQ(files.files[path], mark + "C - D");

  file.Follow(L"");
  EXPECT_FALSE(view.timer);
  files.fail_with.reset();
  file.Show(L"G - H", true);
  file.Retry();
  EXPECT_EQ(files.files[path], mark + "C - D") << "stopped: left as it is";
}

}  // namespace
