#include "main/song_log.h"

#include <gtest/gtest.h>

#include "support/fake_desktop.h"
#include "support/fakes.h"

namespace {

using zurelo::SongLog;

// The main window's log controls and label as plain data.
class FakeLogView : public zurelo::SongLogView,
                    public zurelo::SongList,
                    public zurelo::SongDisplay {
 public:
  std::wstring caption = zurelo::kStartLogging;
  bool timer = false;
  std::wstring label;
  std::vector<std::wstring> list;
  int selected = -1;

  std::wstring ToggleCaption() override { return caption; }
  void SetToggleCaption(const std::wstring& c) override { caption = c; }
  void SetLogTimer(bool on) override { timer = on; }
  void ShowSong(const std::wstring& t) override { label = t; }
  int Count() override { return static_cast<int>(list.size()); }
  void SelectTop() override { selected = 0; }
  std::wstring SelectedText() override {
    return selected >= 0 && selected < Count() ? list[static_cast<std::size_t>(selected)] : L"";
  }
  void InsertTop(const std::wstring& s) override {
    list.insert(list.begin(), s);
    if (selected >= 0) ++selected;  // a list box keeps the same entry selected
  }
  std::wstring Entry(int i) override { return list.at(static_cast<std::size_t>(i)); }
  void Clear() override {
    list.clear();
    selected = -1;
  }
};

// Widens bytes one to one; enough to see where the codec is used.
class TaggingCodec : public platform::TextCodec {
 public:
  std::string ToAnsi(const std::wstring& text) override {
    std::string out;
    for (wchar_t c : text) out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
  }
  std::wstring FromAnsi(const std::string& bytes) override {
    return std::wstring(bytes.begin(), bytes.end());
  }
};

class SongLogTest : public ::testing::Test {
 protected:
  void Play(const std::wstring& title) {
    if (!player_) player_ = desk_.Add(0, L"Winamp v1.x");
    desk_.SetText(player_, title);
  }
  fakes::FakeDesktop desk_;
  platform::Handle player_ = 0;
  FakeLogView view_;
  zurelo::NowPlaying now_playing_{desk_, view_};
  SongLog log_{view_, view_, now_playing_, desk_};
};

TEST_F(SongLogTest, ToggleUsesTheCaptionAsTheState) {
  log_.Toggle();
  EXPECT_EQ(view_.caption, zurelo::kStopLogging);
  EXPECT_TRUE(view_.timer);
  log_.Toggle();
  EXPECT_EQ(view_.caption, zurelo::kStartLogging);
  EXPECT_FALSE(view_.timer);
  // Any caption other than the exact start caption means "on".
  view_.caption = L"start logging songs";
  log_.Toggle();
  EXPECT_EQ(view_.caption, zurelo::kStartLogging);
  EXPECT_FALSE(view_.timer);
}

TEST_F(SongLogTest, ASongThatStaysOnIsLoggedOnceAndRepeatsAfterAnotherAreLoggedAgain) {
  Play(L"1. Artist - A - Winamp");
  for (int i = 0; i < 60; ++i) log_.Poll();
  EXPECT_EQ(view_.list, (std::vector<std::wstring>{L"Artist - A"}));
  Play(L"2. Artist - B - Winamp");
  log_.Poll();
  Play(L"1. Artist - A - Winamp");
  log_.Poll();
  log_.Poll();
  EXPECT_EQ(view_.list, (std::vector<std::wstring>{L"Artist - A", L"Artist - B", L"Artist - A"}));
  EXPECT_EQ(view_.label, L"Artist - A");
  EXPECT_TRUE(view_.timer);  // re-enabled at the end of every tick
}

TEST_F(SongLogTest, OpeningMarkerIsCutFromTheLogButNotFromTheLabel) {
  Play(L"[Opening] Artist - Song - Winamp");
  log_.Poll();
  EXPECT_EQ(view_.label, L"[Opening] Artist - Song");
  EXPECT_EQ(view_.list, (std::vector<std::wstring>{L"Artist - Song"}));
  // Exactly the marker has nothing after it to keep: it is logged as it stands.
  Play(L"[Opening] - Winamp");
  log_.Poll();
  EXPECT_EQ(view_.list.front(), L"[Opening]");
}

TEST_F(SongLogTest, MissingPlayerIsLoggedOnceAndShortTitlesKeepThePreviousSong) {
  log_.Poll();
  log_.Poll();
  EXPECT_EQ(view_.list, (std::vector<std::wstring>{L"Winamp 6 Not Found"}));
  Play(L"1. X - Y - Winamp");
  log_.Poll();
  Play(L"Winamp");  // too short to read: label and song stay
  log_.Poll();
  EXPECT_EQ(view_.label, L"X - Y");
  EXPECT_EQ(view_.list.size(), 2u);
}

TEST_F(SongLogTest, ClearWhileOnAddsTheCurrentSongAgainAtTheNextTick) {
  Play(L"1. X - Y - Winamp");
  log_.Toggle();
  log_.Poll();
  log_.ClearLog();
  EXPECT_TRUE(view_.list.empty());
  EXPECT_EQ(view_.caption, zurelo::kStopLogging);
  Play(L"Winamp");  // even when the player cannot be read just now
  log_.Poll();
  EXPECT_EQ(view_.list, (std::vector<std::wstring>{L"X - Y"}));
}

TEST_F(SongLogTest, SaveWritesTheListOrTellsTheErrorsNumberAndDescription) {
  view_.list = {L"B", L"A"};
  fakes::MemoryFiles files;
  TaggingCodec codec;
  EXPECT_EQ(log_.Save(L"C:\\log.txt", files, codec), std::nullopt);
  EXPECT_EQ(files.files[L"C:\\log.txt"], "B\r\nA\r\n");
  files.fail_with = platform::FileError{5, L"Access is denied."};
  EXPECT_EQ(log_.Save(L"C:\\log.txt", files, codec), L"5 Access is denied.");
  EXPECT_EQ(view_.list.size(), 2u);
}

TEST(FormatLog, OneCrLfLinePerEntryNewestFirstInTheAnsiCodePage) {
  FakeLogView view;
  TaggingCodec codec;
  EXPECT_EQ(zurelo::FormatLog(view, codec), "");
  view.list = {L"C", L"B", L"Caf\u00e9 \u4e2d"};
  EXPECT_EQ(zurelo::FormatLog(view, codec), "C\r\nB\r\nCaf\xe9 ?\r\n");
  view.list = {L""};
  EXPECT_EQ(zurelo::FormatLog(view, codec), "\r\n");
}

}  // namespace
