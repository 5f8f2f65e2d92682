#include "main/now_playing_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main/file_formats.h"
#include "support/fakes.h"

namespace {

using player::PlayerState;

player::SongFacts Facts(const std::wstring& song, bool playing) {
  player::SongFacts facts;
  facts.song = song;
  facts.state = playing ? PlayerState::kPlaying : PlayerState::kPaused;
  return facts;
}

struct View : zurelo::NowPlayingFileView {
  bool timer = false;
  std::vector<std::wstring> told;
  void SetFileRetryTimer(bool on) override { timer = on; }
  void TellFileFailure(const std::wstring& text) override { told.push_back(text); }
};

// The now-playing file: the song alone in UTF-8 with its mark while the player plays it,
// nothing while it does not, written only when that changes; a failure is told once and
// tried again on the timer until a write succeeds.
TEST(NowPlayingFile, HoldsWhatPlaysAndTriesAgainAfterAFailureToldOnce) {
  View view;
  fakes::MemoryFiles files;
  zurelo::NowPlayingFile file(files, view);
  const std::wstring path = L"C:\\obs\\np.txt";
  const std::string mark = "\xEF\xBB\xBF";
  file.Show(Facts(L"Caf\u00e9\tTacvba - Eres", true));
  EXPECT_EQ(files.writes, 0) << "not chosen";
  file.Follow(path);
  EXPECT_EQ(files.files[path], mark + "Caf\xC3\xA9 Tacvba - Eres");
  file.Show(Facts(L"Caf\u00e9\tTacvba - Eres", true));
  EXPECT_EQ(files.writes, 1);
  // Another file chosen while the same song plays is written at once.
  file.Follow(L"C:\\obs\\other.txt");
  EXPECT_EQ(files.files[L"C:\\obs\\other.txt"], mark + "Caf\xC3\xA9 Tacvba - Eres");
  file.Follow(path);
  // Paused, stopped or no player: empty, and the song again once it plays again.
  file.Show(Facts(L"Caf\u00e9\tTacvba - Eres", false));
  EXPECT_EQ(files.files[path], "");
  file.Show(Facts(L"Caf\u00e9\tTacvba - Eres", true));
  EXPECT_EQ(files.files[path], mark + "Caf\xC3\xA9 Tacvba - Eres");

  files.fail_with = platform::FileError{32, L"The file is in use."};
  file.Show(Facts(L"A - B", true));
  file.Show(Facts(L"C - D", true));
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
  file.Show(Facts(L"C - D", false));
  EXPECT_EQ(view.told.size(), 2u) << "a success ends the silence";
  files.fail_with.reset();
  file.Show(Facts(L"C - D", true));
  EXPECT_EQ(files.files[path], mark + "C - D");

  file.Follow(L"");
  EXPECT_FALSE(view.timer);
  files.fail_with.reset();
  file.Show(Facts(L"G - H", true));
  file.Retry();
  EXPECT_EQ(files.files[path], mark + "C - D") << "stopped: left as it is";
}

// Each file has a text for each state, filled as a format; an empty one is zero bytes. The
// defaults are the test above.
TEST(NowPlayingFile, EachStateHasItsTextAndEachFileItsOwn) {
  View view;
  fakes::MemoryFiles files;
  zurelo::NowPlayingFiles all(files, view);
  const std::string mark = "\xEF\xBB\xBF";
  all.FollowMain(L"np.txt");
  all.SetMainTexts({L"\u266a {song}", L"{title} [{state}]", L"Nothing plays"});
  all.SetOthers({{L"artist.txt", {L"{artist}", L"{artist}", L""}},
                 {L"title.txt", {L"{title} ({position})", L"", L""}}});
  player::SongFacts facts = Facts(L"Sade - Smooth Operator", true);
  facts.position_ms = 1000;
  all.Show(facts);
  struct Row {
    PlayerState state;
    std::string np, artist, title;
  };
  const Row rows[] = {
      {PlayerState::kPlaying, mark + "\xE2\x99\xAA Sade - Smooth Operator", mark + "Sade",
       mark + "Smooth Operator (0:01)"},
      {PlayerState::kPaused, mark + "Smooth Operator [paused]", mark + "Sade", ""},
      {PlayerState::kStopped, mark + "Nothing plays", "", ""},
      {PlayerState::kNone, mark + "Nothing plays", "", ""},
  };
  for (const Row& row : rows) {
    facts.state = row.state;
    all.Show(facts);
    EXPECT_EQ(files.files[L"np.txt"], row.np);
    EXPECT_EQ(files.files[L"artist.txt"], row.artist);
    EXPECT_EQ(files.files[L"title.txt"], row.title);
  }
  // Only a file whose text changed is written: the time played rewrites title.txt alone.
  facts.state = PlayerState::kPlaying;
  all.Show(facts);
  int writes = files.writes;
  facts.position_ms = 2500;
  all.Show(facts);
  EXPECT_EQ(files.writes, writes + 1);
  EXPECT_EQ(files.files[L"title.txt"], mark + "Smooth Operator (0:02)");
  // A file changed keeps its place: only a new text is written; one removed is left as it is.
  writes = files.writes;
  all.SetOthers({{L"title.txt", {L"{title} ({position})", L"", L""}},
                 {L"artist.txt", {L"{artist}!", L"", L""}}});
  EXPECT_EQ(files.writes, writes + 1);
  EXPECT_EQ(files.files[L"artist.txt"], mark + "Sade!");
  all.SetOthers({{L"artist.txt", {L"{artist}!", L"", L""}}});
  facts.position_ms = 4000;
  all.Show(facts);
  EXPECT_EQ(files.files[L"title.txt"], mark + "Smooth Operator (0:02)");

  // One timer for all: on while any file fails, each failure told once, naming its file.
  files.fail_with = platform::FileError{5, L"Access is denied."};
  facts.song = L"Seal - Crazy";
  all.Show(facts);
  ASSERT_EQ(view.told.size(), 2u);
  EXPECT_NE(view.told[0].find(L"\nnp.txt\n"), std::wstring::npos);
  EXPECT_NE(view.told[1].find(L"\nartist.txt\n"), std::wstring::npos);
  EXPECT_TRUE(view.timer);
  all.SetOthers({});
  EXPECT_TRUE(view.timer) << "np.txt still fails";
  files.fail_with.reset();
  all.Retry();
  EXPECT_FALSE(view.timer);
  EXPECT_EQ(files.files[L"np.txt"], mark + "\xE2\x99\xAA Seal - Crazy");
}

}  // namespace

namespace {

// The texts go through the settings store as one text each and come back as typed; nothing
// stored is the defaults.
TEST(NowPlayingFile, TextsAndFilesComeBackFromTheStoreAsTyped) {
  EXPECT_EQ(zurelo::DecodeFileTexts(L""), zurelo::FileTexts{});
  const zurelo::FileTexts odd{L"", L"50%25 {title}\t%", L"a\nb"};
  EXPECT_EQ(zurelo::DecodeFileTexts(zurelo::EncodeFileTexts(odd)), odd);
  const std::vector<zurelo::FileFormat> files = {{L"C:\\o\\a%09.txt", {L"{artist}", L"", L""}},
                                                 {L"t.txt", odd}};
  EXPECT_EQ(zurelo::DecodeOtherFiles(zurelo::EncodeOtherFiles(files)), files);
  EXPECT_TRUE(zurelo::DecodeOtherFiles(L"").empty());
}

}  // namespace
