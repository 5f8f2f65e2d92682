#include "main/formats_editor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/fakes.h"

namespace {

using zurelo::FormatField;

struct View : zurelo::FormatsView {
  std::map<FormatField, std::wstring> fields;
  std::vector<std::wstring> files;
  int selected = -1;
  std::wstring status;
  std::vector<std::wstring> rejected;
  std::wstring FieldText(FormatField f) override { return fields[f]; }
  void SetFieldText(FormatField f, const std::wstring& text) override { fields[f] = text; }
  void ShowFiles(const std::vector<std::wstring>& paths, int s) override {
    files = paths;
    selected = s;
  }
  int SelectedFile() override { return selected; }
  std::wstring FullPath(const std::wstring& path) override { return L"C:\\" + path; }
  bool IsFolder(const std::wstring& path) override { return path == L"C:\\obs"; }
  void SetStatus(const std::wstring& text) override { status = text; }
  void Reject(const std::wstring& text, FormatField) override { rejected.push_back(text); }
  void Type(const std::wstring& path, const std::wstring& playing) {
    fields[FormatField::kPath] = path;
    fields[FormatField::kPlaying] = playing;
  }
};

// The list is the system menu's file first, then the others; adding, changing and removing
// store at once, and whatever is refused stores nothing and leaves the boxes as typed.
TEST(FormatsEditor, FilesAreAddedChangedAndRemovedInTheStoreAndBadOnesRefused) {
  fakes::MemorySettings store;
  settings::SettingsModel model(store, L"Zurelo");
  View view;
  zurelo::FormatsEditor editor(view, model);
  editor.Load();
  EXPECT_EQ(view.fields[FormatField::kLine], L"{prefix}{song}");
  EXPECT_EQ(view.fields[FormatField::kPlaying], L"{song}");
  EXPECT_TRUE(view.files.empty());

  view.Type(L"np.txt", L"{title}");
  editor.AddFile();
  EXPECT_EQ(model.Get(settings::kNowPlayingFile), L"C:\\np.txt") << "the first is the menu's";
  EXPECT_EQ(model.Get(settings::kNowPlayingFileTexts), L"{title}\t\t");
  view.Type(L"artist.txt", L"{artist}");
  editor.AddFile();
  view.Type(L"title.txt", L"{title}");
  editor.AddFile();
  EXPECT_EQ(view.files, (std::vector<std::wstring>{L"C:\\np.txt   (Now Playing File)",
                                                   L"C:\\artist.txt", L"C:\\title.txt"}));
  EXPECT_EQ(view.selected, 2);

  const std::wstring others = model.Get(settings::kOtherFiles);
  const int writes = store.writes;
  for (const auto& [path, playing] : {std::pair<const wchar_t*, const wchar_t*>{L"", L"{song}"},
                                      {L"obs", L"{song}"},
                                      {L"ARTIST.txt", L"{song}"},
                                      {L"x.txt", L"{artist - {title}"}}) {
    view.Type(path, playing);
    editor.AddFile();
    EXPECT_EQ(view.fields[FormatField::kPath], path) << "kept as typed";
    EXPECT_EQ(view.fields[FormatField::kPlaying], playing);
  }
  EXPECT_EQ(view.rejected.size(), 4u);
  EXPECT_EQ(store.writes, writes) << "nothing refused is stored";
  view.fields[FormatField::kLine] = L"np: {title";
  editor.SaveLine();
  EXPECT_EQ(view.rejected.size(), 5u);
  EXPECT_EQ(model.Get(settings::kLineFormat), L"{prefix}{song}");

  // The second of the others changed, then the first removed; the menu's file stays.
  view.selected = 2;
  editor.SelectFile();
  EXPECT_EQ(view.fields[FormatField::kPath], L"C:\\title.txt");
  view.Type(L"title.txt", L"{title} ({position})");
  editor.ChangeFile();
  view.selected = 1;
  editor.RemoveFile();
  EXPECT_EQ(view.files,
            (std::vector<std::wstring>{L"C:\\np.txt   (Now Playing File)", L"C:\\title.txt"}));
  view.selected = 1;
  editor.SelectFile();
  EXPECT_EQ(view.fields[FormatField::kPlaying], L"{title} ({position})");
  EXPECT_NE(model.Get(settings::kOtherFiles), others);
  view.selected = 0;
  editor.RemoveFile();
  EXPECT_EQ(model.Get(settings::kNowPlayingFile), L"");
  EXPECT_EQ(view.files, (std::vector<std::wstring>{L"C:\\title.txt"}));
  EXPECT_EQ(view.rejected.size(), 5u);
}

}  // namespace
