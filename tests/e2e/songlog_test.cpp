// The song log beyond the window's right edge, reached from the keyboard: logging on and
// off, one entry per song change, saving through the save dialog, clearing.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "fixture.h"
#include "peers/peer_protocol.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;
using Items = std::vector<std::wstring>;

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A folder holding one file of the user's, "keep.txt", as "mine\r\n".
::testing::AssertionResult MakeFolderWithAFile(const std::wstring& folder) {
  if (!CreateDirectoryW(folder.c_str(), nullptr)) {
    return ::testing::AssertionFailure() << "no folder, error " << GetLastError();
  }
  UniqueHandle mine(CreateFileW((folder + L"\\keep.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (mine.get() == INVALID_HANDLE_VALUE ||
      !WriteFile(mine.get(), "mine\r\n", 6, &written, nullptr)) {
    return ::testing::AssertionFailure() << "no file in the folder, error " << GetLastError();
  }
  return ::testing::AssertionSuccess();
}

// The names files get in a folder while it is watched, however briefly they stay (a save's
// temporary and backup files), in order.
class NamesMade {
 public:
  explicit NamesMade(const std::wstring& folder)
      : folder_(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                            nullptr)),
        done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    watching_ = Watch();
  }
  // What was made until the folder has been quiet for a moment.
  std::vector<std::wstring> Names() {
    while (watching_ && WaitForSingleObject(done_.get(), 500) == WAIT_OBJECT_0) {
      DWORD bytes = 0;
      if (!GetOverlappedResult(folder_.get(), &overlapped_, &bytes, FALSE)) break;
      for (std::size_t at = 0; at + sizeof(FILE_NOTIFY_INFORMATION) <= bytes;) {
        const auto* change = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + at);
        if (change->Action == FILE_ACTION_ADDED || change->Action == FILE_ACTION_RENAMED_NEW_NAME) {
          names_.emplace_back(change->FileName, change->FileNameLength / sizeof(wchar_t));
        }
        if (change->NextEntryOffset == 0) break;
        at += change->NextEntryOffset;
      }
      watching_ = Watch();
    }
    return names_;
  }
  bool watching() const { return watching_; }

 private:
  bool Watch() {
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = done_.get();
    return ReadDirectoryChangesW(folder_.get(), buffer_, sizeof(buffer_), FALSE,
                                 FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &overlapped_, nullptr);
  }

  UniqueHandle folder_;
  UniqueHandle done_;
  OVERLAPPED overlapped_{};
  alignas(DWORD) BYTE buffer_[16384];
  bool watching_ = false;
  std::vector<std::wstring> names_;
};

// The folder is still there, holding the user's file as it was.
bool FolderKept(const std::wstring& folder) {
  return IsFolder(folder) &&
         ReadBytes(folder + L"\\keep.txt") == std::optional<std::string>("mine\r\n");
}

class SongLogTest : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    player_ = StartPeer("player", L"1. First - Song - Winamp");
    ASSERT_NE(player_, nullptr);
    ASSERT_TRUE(StartZurelo(L"First - Song"));
  }

  HWND List() const { return zurelo_.Item(ids::kSongList); }
  bool WaitList(const Items& expected) const {
    return WaitUntil([&] { return ListItems(List()) == expected; });
  }
  bool WaitToggleCaption(const std::wstring& caption) const {
    return WaitUntil([&] { return TextOf(zurelo_.Item(ids::kLogToggleButton)) == caption; });
  }
  void SetTitle(const std::wstring& title) { ASSERT_TRUE(SetText(player_->Top(), title)); }

  // Logging on with Space on the focused button, which is where the focus starts.
  void StartLoggingFromTheKeyboard() {
    HWND toggle = zurelo_.Item(ids::kLogToggleButton);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(zurelo_.main()) == toggle; }));
    PostKey(toggle, VK_SPACE);
    ASSERT_TRUE(WaitToggleCaption(L"Stop Logging Songs"));
  }

  // "&Save Log" through the dialog; true when the dialog took the path.
  bool SaveTo(const std::wstring& path) {
    zurelo_.Click(ids::kSaveLogButton);
    HWND dialog = WaitFileDialog(zurelo_.pid());
    return dialog != nullptr && ConfirmFileDialog(dialog, path);
  }

  bool WaitFile(const std::wstring& path, const std::string& bytes) const {
    return WaitUntil([&] { return ReadBytes(path) == bytes; });
  }

  Peer* player_ = nullptr;
};

TEST_F(SongLogTest, LogsEachChangeNewestFirstAndSavesItInAnsiOrElseUtf8) {
  ASSERT_NO_FATAL_FAILURE(StartLoggingFromTheKeyboard());
  ASSERT_TRUE(WaitList({L"First - Song"})) << ::testing::PrintToString(ListItems(List()));
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"2. Café - Second - Winamp"));
  ASSERT_TRUE(WaitList({L"Café - Second", L"First - Song"}));
  // A song that comes back after another is logged again.
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"1. First - Song - Winamp"));
  const Items expected = {L"First - Song", L"Café - Second", L"First - Song"};
  ASSERT_TRUE(WaitList(expected)) << ::testing::PrintToString(ListItems(List()));
  // A song that stays on is logged once, however many polls see it, also while the player
  // is paused and writes its state after its name, and once it plays on.
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"1. First - Song - Winamp [Paused]"));
  Pause(2500ms);
  EXPECT_EQ(ListItems(List()), expected);
  EXPECT_EQ(zurelo_.Label(), L"First - Song");
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"1. First - Song - Winamp"));
  Pause(1500ms);
  EXPECT_EQ(ListItems(List()), expected);

  // All in code page 1252: the file is in it, é as its one byte.
  const std::wstring file = dir_.File(L"songs.txt");
  ASSERT_TRUE(SaveTo(file));
  EXPECT_TRUE(WaitFile(file, "First - Song\r\nCaf\xE9 - Second\r\nFirst - Song\r\n"))
      << ::testing::PrintToString(ReadBytes(file).value_or("(no file)"));
  EXPECT_TRUE(MessageBoxes(zurelo_.pid()).empty());

  // Songs in Cyrillic, Japanese and Polish, the last with a tab and a line break: shown and
  // listed as read; saved, the whole file turns UTF-8 with a byte-order mark, and the
  // control characters are blanks so each entry stays one line.
  struct Song {
    const wchar_t* title;
    const wchar_t* shown;
  };
  const Song songs[] = {
      {L"3. Кино - Группа крови - Winamp", L"Кино - Группа крови"},
      {L"4. 宇多田ヒカル - 初恋 (4:51) - Winamp", L"宇多田ヒカル - 初恋 "},
      {L"5. Kult\tŁódź\r\nWarszawa - Winamp", L"Kult\tŁódź\r\nWarszawa"},
  };
  Items listed = expected;
  for (const Song& song : songs) {
    ASSERT_NO_FATAL_FAILURE(SetTitle(song.title));
    EXPECT_TRUE(zurelo_.WaitLabel(song.shown)) << ::testing::PrintToString(zurelo_.Label());
    listed.insert(listed.begin(), song.shown);
    ASSERT_TRUE(WaitList(listed)) << ::testing::PrintToString(ListItems(List()));
  }
  // A name that fills its path: 259 characters in all, the most Windows takes without its
  // long-path form, and 252 bytes as UTF-8, near the 255 that a Linux file system allows a
  // name under Wine. Whatever the save makes beside it must still fit.
  const std::size_t folder_length = dir_.path().size() + 1;
  ASSERT_TRUE(folder_length >= 7 && folder_length <= 131) << ToUtf8(dir_.path());
  const std::size_t name_length = 259 - folder_length;
  const std::wstring unicode_file =
      dir_.File(std::wstring(252 - name_length, L'ж') +
                std::wstring(2 * name_length - 252 - 4, L'z') + L".txt");
  ASSERT_EQ(unicode_file.size(), 259u);
  ASSERT_TRUE(SaveTo(unicode_file));
  EXPECT_TRUE(WaitFile(unicode_file, std::string("\xEF\xBB\xBF") +
                                         u8"Kult Łódź  Warszawa\r\n"
                                         u8"宇多田ヒカル - 初恋 \r\n"
                                         u8"Кино - Группа крови\r\n"
                                         u8"First - Song\r\nCafé - Second\r\nFirst - Song\r\n"))
      << ::testing::PrintToString(ReadBytes(unicode_file).value_or("(no file)"));
  EXPECT_TRUE(MessageBoxes(zurelo_.pid()).empty());
}

TEST_F(SongLogTest, EnterStopsLoggingAndNothingMoreIsLogged) {
  ASSERT_NO_FATAL_FAILURE(StartLoggingFromTheKeyboard());
  ASSERT_TRUE(WaitList({L"First - Song"}));
  HWND toggle = zurelo_.Item(ids::kLogToggleButton);
  PostKey(toggle, VK_RETURN);
  ASSERT_TRUE(WaitToggleCaption(L"Start Logging Songs"));
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"2. Not - Logged - Winamp"));
  ASSERT_TRUE(zurelo_.WaitLabel(L"Not - Logged"));
  Pause(2500ms);
  EXPECT_EQ(ListItems(List()), Items{L"First - Song"});
}

TEST_F(SongLogTest, StartThenStopWithinASecondLogsNothing) {
  HWND toggle = zurelo_.Item(ids::kLogToggleButton);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(zurelo_.main()) == toggle; }));
  PostKey(toggle, VK_SPACE);
  PostKey(toggle, VK_SPACE);
  ASSERT_TRUE(zurelo_.Sync());
  EXPECT_EQ(TextOf(toggle), L"Start Logging Songs");
  Pause(1500ms);
  EXPECT_EQ(ListItems(List()), Items{});
}

TEST_F(SongLogTest, SavesOverAFileHeldOpenAndReportsOneThatCannotBeWritten) {
  ASSERT_NO_FATAL_FAILURE(StartLoggingFromTheKeyboard());
  ASSERT_TRUE(WaitList({L"First - Song"}));
  const std::wstring file = dir_.File(L"held.txt");
  {
    UniqueHandle old(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(old.get(), INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(old.get(), "old\r\n", 5, &written, nullptr));
  }
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  const auto hidden = [&] {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
  };
  // The user's own files beside it, named as the first temporary and backup names a save of
  // it tries: a save passes them by, to the next ones, and leaves them alone.
  const std::wstring own_new = dir_.File(L"~zudcd482.tmp");
  const std::wstring own_old = dir_.File(L"~zudcd482.bak");
  const std::vector<std::wstring> next_names = {L"~zudbcf24.tmp", L"~zudbcf24.bak"};
  for (const std::wstring& own : {own_new, own_old}) {
    UniqueHandle mine(CreateFileW(own.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(mine.get(), INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(mine.get(), "mine\r\n", 6, &written, nullptr));
  }
  const auto own_files_kept = [&] {
    return ReadBytes(own_new) == std::optional<std::string>("mine\r\n") &&
           ReadBytes(own_old) == std::optional<std::string>("mine\r\n");
  };
  // Nothing of a save is left beside the file, whether it worked or not (the folder also
  // holds the peers' logs).
  const auto saved_files = [&] {
    std::vector<std::wstring> names;
    for (const std::wstring& name : FileNames(dir_.path())) {
      if (name.size() < 4 || name.compare(name.size() - 4, 4, L".log") != 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  };
  std::vector<std::wstring> the_files_there = {L"held.txt"};
  for (const std::wstring& own : {own_new, own_old}) {
    the_files_there.push_back(own.substr(own.find_last_of(L'\\') + 1));
  }
  std::sort(the_files_there.begin(), the_files_there.end());

  // Saved over as it is, the file keeps its attributes.
  NamesMade made(dir_.path());
  ASSERT_TRUE(made.watching());
  ASSERT_TRUE(SaveTo(file));
  EXPECT_TRUE(WaitFile(file, "First - Song\r\n"));
  // The content shows before the save handler has finished with the file.
  ASSERT_TRUE(zurelo_.Sync());
  std::vector<std::wstring> save_names;
  for (const std::wstring& name : made.Names()) {
    const bool log = name.size() >= 4 && name.compare(name.size() - 4, 4, L".log") == 0;
    if (!log && name != L"held.txt" &&
        std::find(save_names.begin(), save_names.end(), name) == save_names.end()) {
      save_names.push_back(name);
    }
  }
  EXPECT_EQ(save_names, next_names);
  EXPECT_TRUE(hidden()) << "the file lost its attributes";
  EXPECT_TRUE(own_files_kept());
  EXPECT_EQ(saved_files(), the_files_there);

  {
    // A viewer that reads the file and lets others read and write it, but not rename it.
    UniqueHandle viewer(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(viewer.get(), INVALID_HANDLE_VALUE);
    ASSERT_NO_FATAL_FAILURE(SetTitle(L"2. Second - Song - Winamp"));
    ASSERT_TRUE(WaitList({L"Second - Song", L"First - Song"}));
    ASSERT_TRUE(SaveTo(file));
    EXPECT_TRUE(WaitFile(file, "Second - Song\r\nFirst - Song\r\n"))
        << ::testing::PrintToString(ReadBytes(file).value_or("(no file)"));
    ASSERT_TRUE(zurelo_.Sync());
    EXPECT_TRUE(MessageBoxes(zurelo_.pid()).empty()) << "the save was reported as failed";
    EXPECT_TRUE(hidden());
    EXPECT_EQ(saved_files(), the_files_there);
  }

  // Held open without any sharing, the file cannot be written: the error is reported.
  UniqueHandle lock(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SaveTo(file));
  const std::optional<Box> box = WaitMessageBox(zurelo_.pid());
  ASSERT_TRUE(box.has_value()) << "the failure was not reported";
  // "<number> <description>", in a box without a caption or an icon.
  EXPECT_EQ(box->caption, L"");
  EXPECT_EQ(IconOf(*box), BoxIcon::kNone);
  const std::size_t blank = box->text.find(L' ');
  ASSERT_NE(blank, std::wstring::npos) << ::testing::PrintToString(box->text);
  EXPECT_GT(blank, 0u);
  EXPECT_EQ(box->text.find_first_not_of(L"0123456789"), blank)
      << ::testing::PrintToString(box->text);
  EXPECT_GT(box->text.size(), blank + 1) << "no description";
  EXPECT_TRUE(CloseBox(*box));
  lock.reset();
  EXPECT_EQ(ReadBytes(file), std::optional<std::string>("Second - Song\r\nFirst - Song\r\n"));
  EXPECT_EQ(saved_files(), the_files_there);

  // A name that the dialog completes to a folder's: refused, and the folder stays as it was.
  const std::wstring folder = dir_.File(L"folder.txt");
  ASSERT_TRUE(MakeFolderWithAFile(folder));
  ASSERT_TRUE(SaveTo(dir_.File(L"folder")));
  const std::optional<Box> refused = WaitMessageBox(zurelo_.pid());
  ASSERT_TRUE(refused.has_value()) << "the folder was not refused";
  EXPECT_EQ(refused->text.rfind(std::to_wstring(ERROR_ACCESS_DENIED) + L" ", 0), 0u)
      << ::testing::PrintToString(refused->text);
  EXPECT_TRUE(CloseBox(*refused));
  EXPECT_TRUE(FolderKept(folder));
  EXPECT_EQ(saved_files(), the_files_there);

  // A file with a second name is saved under both: it is written where it is.
  const std::wstring link = dir_.File(L"held-link.txt");
  ASSERT_TRUE(CreateHardLinkW(link.c_str(), file.c_str(), nullptr));
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"3. Third - Song - Winamp"));
  ASSERT_TRUE(WaitList({L"Third - Song", L"Second - Song", L"First - Song"}));
  ASSERT_TRUE(SaveTo(file));
  const std::string third = "Third - Song\r\nSecond - Song\r\nFirst - Song\r\n";
  EXPECT_TRUE(WaitFile(file, third));
  ASSERT_TRUE(zurelo_.Sync());
  EXPECT_EQ(ReadBytes(link), std::optional<std::string>(third));
  EXPECT_TRUE(own_files_kept());
}

TEST_F(SongLogTest, OpeningMarkerIsShownButNotLogged) {
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"[Opening] Artist - Song - Winamp"));
  ASSERT_TRUE(zurelo_.WaitLabel(L"[Opening] Artist - Song"));
  ASSERT_NO_FATAL_FAILURE(StartLoggingFromTheKeyboard());
  EXPECT_TRUE(WaitList({L"Artist - Song"})) << ::testing::PrintToString(ListItems(List()));
  // The log tick sets the label as well, with the marker kept.
  EXPECT_EQ(zurelo_.Label(), L"[Opening] Artist - Song");
}

TEST_F(SongLogTest, AltCClearsAndTheCurrentSongComesBack) {
  ASSERT_NO_FATAL_FAILURE(StartLoggingFromTheKeyboard());
  ASSERT_TRUE(WaitList({L"First - Song"}));
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"2. Second - Song - Winamp"));
  ASSERT_TRUE(WaitList({L"Second - Song", L"First - Song"}));
  PostAltKey(zurelo_.Item(ids::kLogToggleButton), 'C');
  // Cleared, and while logging is on the song playing now is logged again.
  EXPECT_TRUE(WaitList({L"Second - Song"})) << ::testing::PrintToString(ListItems(List()));
}

// The now-playing file, chosen from the system menu: the song shown in UTF-8 with its mark
// while it plays and nothing while nothing plays, following the player also while a reader
// holds the file open; at the next start a folder in its place is refused, and the file
// comes back by itself once it can be written.
TEST_F(SongLogTest, NowPlayingFileHoldsWhatPlaysAndComesBackByItself) {
  const std::wstring obs = dir_.File(L"obs");
  ASSERT_TRUE(CreateDirectoryW(obs.c_str(), nullptr));
  const std::wstring file = obs + L"\\now playing.txt";
  const std::string mark = "\xEF\xBB\xBF";
  const std::string second = mark + "Caf\xC3\xA9 Noir - Second";
  PostMessageW(zurelo_.main(), WM_SYSCOMMAND, 0x0120, 0);
  HWND dialog = WaitFileDialog(zurelo_.pid());
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(ConfirmFileDialog(dialog, file));
  EXPECT_TRUE(WaitFile(file, mark + "First - Song"));
  {
    // A reader such as a streaming program, holding the file with read and write sharing.
    const UniqueHandle reader(CreateFileW(file.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(reader.get(), INVALID_HANDLE_VALUE);
    ASSERT_NO_FATAL_FAILURE(SetTitle(L"2. Caf\u00e9\tNoir - Second - Winamp"));
    EXPECT_TRUE(WaitFile(file, second))
        << ::testing::PrintToString(ReadBytes(file).value_or("(no file)"));
    // Paused, the label keeps the song, but the file is emptied; playing again, it is back.
    ASSERT_NO_FATAL_FAILURE(SetTitle(L"2. Caf\u00e9\tNoir - Second - Winamp [Paused]"));
    EXPECT_TRUE(WaitFile(file, ""));
    EXPECT_EQ(zurelo_.Label(), L"Caf\u00e9\tNoir - Second");
    ASSERT_NO_FATAL_FAILURE(SetTitle(L"2. Caf\u00e9\tNoir - Second - Winamp"));
    EXPECT_TRUE(WaitFile(file, second));
  }
  // Stopped, and with no player at all, it is empty too.
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"2. Caf\u00e9\tNoir - Second - Winamp [Stopped]"));
  EXPECT_TRUE(WaitFile(file, ""));
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"2. Caf\u00e9\tNoir - Second - Winamp"));
  EXPECT_TRUE(WaitFile(file, second));
  player_->Stop();
  ASSERT_TRUE(zurelo_.WaitLabel(L"Winamp 6 Not Found"));
  EXPECT_TRUE(WaitFile(file, ""));
  player_ = StartPeer("player", L"3. Third - Song - Winamp", {L"--answers", L"winamp"});
  ASSERT_NE(player_, nullptr);
  EXPECT_TRUE(WaitFile(file, mark + "Third - Song"));
  // This player answers for itself, and its word wins over its title: paused, the file is
  // emptied while the label still names the song; playing again, the song is back.
  ASSERT_TRUE(player_->SetAnswer(peer::kAnswerState, 3));
  EXPECT_TRUE(WaitFile(file, ""));
  EXPECT_EQ(zurelo_.Label(), L"Third - Song");
  ASSERT_TRUE(player_->SetAnswer(peer::kAnswerState, 1));
  EXPECT_TRUE(WaitFile(file, mark + "Third - Song"));
  EXPECT_EQ(StoredSetting(L"File", L"File1"), WindowsPath(file));
  EXPECT_TRUE(MessageBoxes(zurelo_.pid()).empty());

  // The formats window (system menu) shows the file with its texts. A folder for a path and
  // an unclosed placeholder are refused in a box that says why, and what was typed stays.
  // Then the file gets a text while paused and one while stopped, and a second file holds
  // the artist alone.
  PostMessageW(zurelo_.main(), WM_SYSCOMMAND, ids::kFormatsCommand, 0);
  const HWND formats = WaitTopLevel(kFormatsClass, zurelo_.pid());
  ASSERT_NE(formats, nullptr);
  const auto control = [&](int id) { return GetDlgItem(formats, id); };
  EXPECT_EQ(TextOf(control(ids::kFilePathBox)), WindowsPath(file));
  EXPECT_EQ(TextOf(control(ids::kPlayingBox)), L"{song}");
  EXPECT_EQ(TextOf(control(ids::kPlayingPreview)), L"Now: Third - Song");
  const auto refused = [&](int button, const std::wstring& why) {
    PostClick(control(button));
    const std::optional<Box> said = WaitMessageBox(zurelo_.pid());
    if (!said) return ::testing::AssertionFailure() << "no box";
    const bool says = said->text.find(why) != std::wstring::npos;
    if (!CloseBox(*said)) return ::testing::AssertionFailure() << "the box stayed";
    if (!says) return ::testing::AssertionFailure() << ::testing::PrintToString(said->text);
    return ::testing::AssertionSuccess();
  };
  ASSERT_TRUE(SetText(control(ids::kFilePathBox), WindowsPath(obs)));
  EXPECT_TRUE(refused(ids::kAddFileButton, L"is a folder"));
  EXPECT_EQ(TextOf(control(ids::kFilePathBox)), WindowsPath(obs));
  ASSERT_TRUE(SetText(control(ids::kFilePathBox), WindowsPath(file)));
  ASSERT_TRUE(SetText(control(ids::kPausedBox), L"{title [{state}]"));
  EXPECT_TRUE(refused(ids::kChangeFileButton, L"\"{title\" is not closed"));
  EXPECT_EQ(TextOf(control(ids::kPausedBox)), L"{title [{state}]");
  ASSERT_TRUE(SetText(control(ids::kPausedBox), L"{title} [{state}]"));
  ASSERT_TRUE(SetText(control(ids::kStoppedBox), L"Nothing plays"));
  PostClick(control(ids::kChangeFileButton));
  EXPECT_TRUE(WaitUntil([&] {
    return StoredSetting(L"File", L"Texts1") == L"{song}\t{title} [{state}]\tNothing plays";
  }));
  const std::wstring artist = dir_.File(L"artist.txt");
  ASSERT_TRUE(SetText(control(ids::kFilePathBox), artist));
  ASSERT_TRUE(SetText(control(ids::kPlayingBox), L"{artist}"));
  ASSERT_TRUE(SetText(control(ids::kPausedBox), L"{artist}"));
  ASSERT_TRUE(SetText(control(ids::kStoppedBox), L""));
  PostClick(control(ids::kAddFileButton));
  EXPECT_TRUE(WaitFile(artist, mark + "Third"));
  // This player answers for itself: its word and its title say the same.
  ASSERT_TRUE(player_->SetAnswer(peer::kAnswerState, 3));
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"3. Third - Song - Winamp [Paused]"));
  EXPECT_TRUE(WaitFile(file, mark + "Song [paused]"));
  EXPECT_EQ(ReadBytes(artist), mark + "Third");
  ASSERT_TRUE(player_->SetAnswer(peer::kAnswerState, 0));
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"3. Third - Song - Winamp [Stopped]"));
  EXPECT_TRUE(WaitFile(file, mark + "Nothing plays"));
  EXPECT_TRUE(WaitFile(artist, ""));
  ASSERT_TRUE(player_->SetAnswer(peer::kAnswerState, 1));
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"3. Third - Song - Winamp"));
  EXPECT_TRUE(WaitFile(file, mark + "Third - Song"));
  EXPECT_TRUE(WaitFile(artist, mark + "Third"));
  EXPECT_EQ(ListItems(control(ids::kFileList)),
            (std::vector<std::wstring>{WindowsPath(file) + L"   (Now Playing File)",
                                       WindowsPath(artist)}));
  PostKey(control(ids::kFilePathBox), VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(formats); })) << "Escape left it open";

  // Meanwhile a folder took the file's name: at start it is refused, said once in a box
  // with the program's title, the path and the error, and left as it was.
  zurelo_.Stop();
  ASSERT_TRUE(DeleteFileW(file.c_str()));
  ASSERT_TRUE(DeleteFileW(artist.c_str()));
  ASSERT_TRUE(MakeFolderWithAFile(file));
  ASSERT_TRUE(StartZurelo(L"Third - Song"));
  EXPECT_TRUE(WaitFile(artist, mark + "Third")) << "the second file was not read back";
  const std::optional<Box> box = WaitMessageBox(zurelo_.pid());
  ASSERT_TRUE(box.has_value()) << "the folder was not refused";
  EXPECT_EQ(box->caption, L"Zurelo");
  EXPECT_NE(box->text.find(WindowsPath(file)), std::wstring::npos)
      << ::testing::PrintToString(box->text);
  EXPECT_NE(box->text.find(L"Error " + std::to_wstring(ERROR_ACCESS_DENIED) + L": "),
            std::wstring::npos)
      << ::testing::PrintToString(box->text);
  EXPECT_TRUE(FolderKept(file));
  // The folder holding it goes (a retry may hold the folder in it open for a moment), and
  // comes back without that folder: with the song unchanged and the box still up, the file
  // is back within a few seconds.
  const std::wstring gone = dir_.File(L"obs-gone");
  ASSERT_TRUE(WaitUntil([&] { return MoveFileW(obs.c_str(), gone.c_str()) != 0; }));
  ASSERT_TRUE(CreateDirectoryW(obs.c_str(), nullptr));
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(file) == mark + "Third - Song"; }, 5s))
      << ::testing::PrintToString(ReadBytes(file).value_or("(no file)"));
  EXPECT_EQ(MessageBoxes(zurelo_.pid()).size(), 1u);
  EXPECT_TRUE(CloseBox(*box));

  // Ticked, the item stops the writing at once, without a dialog.
  PostMessageW(zurelo_.main(), WM_SYSCOMMAND, 0x0120, 0);
  ASSERT_TRUE(zurelo_.Sync());
  ASSERT_NO_FATAL_FAILURE(SetTitle(L"4. Fourth - Song - Winamp"));
  ASSERT_TRUE(zurelo_.WaitLabel(L"Fourth - Song"));
  EXPECT_EQ(ReadBytes(file), mark + "Third - Song");
  EXPECT_EQ(StoredSetting(L"File", L"File1").value_or(L""), L"");
  EXPECT_TRUE(MessageBoxes(zurelo_.pid()).empty());
}

TEST_F(SongLogTest, AltSOpensTheSaveDialogAndAnEmptyLogSavesAnEmptyFile) {
  PostAltKey(zurelo_.Item(ids::kLogToggleButton), 'S');
  HWND dialog = WaitFileDialog(zurelo_.pid());
  ASSERT_NE(dialog, nullptr) << "Alt+S did not open the save dialog";
  const std::wstring file = dir_.File(L"empty.txt");
  ASSERT_TRUE(ConfirmFileDialog(dialog, file));
  EXPECT_TRUE(WaitFile(file, ""));
}

TEST_F(SongLogTest, CancellingTheSaveDialogWritesNothing) {
  ASSERT_NO_FATAL_FAILURE(StartLoggingFromTheKeyboard());
  ASSERT_TRUE(WaitList({L"First - Song"}));
  const std::wstring saved = dir_.File(L"saved.txt");
  ASSERT_TRUE(SaveTo(saved));
  ASSERT_TRUE(WaitFile(saved, "First - Song\r\n"));

  ASSERT_NO_FATAL_FAILURE(SetTitle(L"2. Second - Song - Winamp"));
  ASSERT_TRUE(WaitList({L"Second - Song", L"First - Song"}));
  zurelo_.Click(ids::kSaveLogButton);
  HWND dialog = WaitFileDialog(zurelo_.pid());
  ASSERT_NE(dialog, nullptr);
  const std::wstring typed = dir_.File(L"cancelled.txt");
  ASSERT_TRUE(CancelFileDialog(dialog, typed));
  ASSERT_TRUE(zurelo_.Sync());
  EXPECT_FALSE(FileExists(typed));
  EXPECT_EQ(ReadBytes(saved), std::optional<std::string>("First - Song\r\n"));
  EXPECT_TRUE(MessageBoxes(zurelo_.pid()).empty());
}

}  // namespace
}  // namespace e2e
