#include "harness.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "main/control_ids.h"
#include "peers/peer_log.h"
#include "peers/peer_protocol.h"
#include "peers/peer_roles.h"

namespace e2e {

namespace {

using platform::win32::UniqueKey;

// How long a window may take to answer a sent message.
constexpr UINT kAnswerMs = platform::win32::kTextAnswerMs;

std::wstring Widen(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

// One argument quoted so that CommandLineToArgvW gives it back unchanged.
std::wstring Quote(const std::wstring& arg) {
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  out += L'"';
  return out;
}

std::wstring DirectoryOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

struct EnumQuery {
  std::wstring cls;
  DWORD pid;
  bool visible_only;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND w, LPARAM lp) {
  auto& q = *reinterpret_cast<EnumQuery*>(lp);
  if (q.visible_only && !IsWindowVisible(w)) return TRUE;
  if (q.pid != 0 && ProcessOf(w) != q.pid) return TRUE;
  if (lstrcmpiW(ClassOf(w).c_str(), q.cls.c_str()) != 0) return TRUE;
  q.found.push_back(w);
  return TRUE;
}

struct ChildQuery {
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND w, LPARAM lp) {
  reinterpret_cast<ChildQuery*>(lp)->found.push_back(w);
  return TRUE;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  ChildQuery q;
  EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

// Settings live under the executable's base name.
std::wstring SettingsRoot(const std::wstring& app) {
  return L"Software\\VB and VBA Program Settings\\" + app;
}

// Memory in another process, freed with the object.
class RemoteBlock {
 public:
  RemoteBlock(HANDLE process, std::size_t size)
      : process_(process),
        address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
  }
  ~RemoteBlock() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  char* get() const { return static_cast<char*>(address_); }

 private:
  HANDLE process_;
  void* address_;
};

}  // namespace

// --- Paths

Programs& ProgramPaths() {
  static Programs programs;
  return programs;
}

std::wstring WindowsPath(const std::wstring& path) {
  if (path.empty() || path[0] != L'/') return path;
  std::wstring out = L"Z:" + path;
  std::replace(out.begin(), out.end(), L'/', L'\\');
  return out;
}

// --- Waiting

bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout,
               std::chrono::milliseconds poll) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(poll);
  }
}

void Pause(std::chrono::milliseconds how_long) {
  std::this_thread::sleep_for(how_long);
}

// --- Process

Process Process::Start(const std::wstring& exe, const std::vector<std::wstring>& args) {
  std::wstring command = Quote(exe);
  for (const std::wstring& arg : args) command += L" " + Quote(arg);
  const std::wstring dir = DirectoryOf(exe);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  Process p;
  const auto create = [&] {
    return CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          dir.empty() ? nullptr : dir.c_str(), &si, &pi) != 0;
  };
  // Wine now and then refuses a start right after another process of the prefix ended;
  // that says nothing of the program under test, so the start is tried once more.
  if (!create()) {
    std::fprintf(stderr, "harness: starting %ls failed with error %lu; trying again\n", exe.c_str(),
                 GetLastError());
    Pause(std::chrono::milliseconds(500));
    if (!create()) {
      p.start_error_ = GetLastError();
      return p;
    }
  }
  UniqueHandle thread(pi.hThread);
  p.process_.reset(pi.hProcess);
  p.pid_ = pi.dwProcessId;
  return p;
}

Process Process::Open(DWORD pid) {
  Process p;
  HANDLE h =
      OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (h != nullptr) {
    p.process_.reset(h);
    p.pid_ = pid;
  }
  return p;
}

std::string Process::Describe() const {
  if (!process_) return "not started (error " + std::to_string(start_error_) + ")";
  DWORD code = 0;
  if (!GetExitCodeProcess(process_.get(), &code)) return "state unknown";
  if (code == STILL_ACTIVE) return "pid " + std::to_string(pid_) + " running";
  return "pid " + std::to_string(pid_) + " ended with exit code " + std::to_string(code);
}

bool Process::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(std::chrono::milliseconds timeout) {
  if (!process_) return true;
  return WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void Process::Stop() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
  }
  process_.reset();
}

// --- Windows

std::vector<HWND> TopLevelWindows(const std::wstring& cls, DWORD pid, bool visible_only) {
  EnumQuery q{cls, pid, visible_only, {}};
  EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

HWND WaitTopLevel(const std::wstring& cls, DWORD pid, std::chrono::milliseconds timeout) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> windows = TopLevelWindows(cls, pid);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      },
      timeout);
  return found;
}

DWORD ProcessOf(HWND w) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  return pid;
}

std::wstring ClassOf(HWND w) {
  std::wstring name(256, L'\0');
  const int n = GetClassNameW(w, name.data(), static_cast<int>(name.size()));
  name.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return name;
}

bool SetText(HWND w, const std::wstring& text) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                             kAnswerMs, &result) != 0;
}

void PostClick(HWND button) {
  PostMessageW(button, BM_CLICK, 0, 0);
}

bool IsChecked(HWND button) {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_NORMAL, kAnswerMs, &state);
  return state == BST_CHECKED;
}

void PostKey(HWND w, UINT vk) {
  const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
  const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  PostMessageW(w, WM_KEYDOWN, vk, down);
  PostMessageW(w, WM_KEYUP, vk, up);
}

void PostAltKey(HWND w, UINT vk) {
  const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (LPARAM{1} << 29);
  const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  PostMessageW(w, WM_SYSKEYDOWN, vk, down);
  PostMessageW(w, WM_SYSKEYUP, vk, up);
}

std::vector<std::wstring> ListItems(HWND list) {
  std::vector<std::wstring> items;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kAnswerMs, &count)) return items;
  for (WPARAM i = 0; i < count; ++i) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_NORMAL, kAnswerMs, &length) ||
        static_cast<LRESULT>(length) == LB_ERR) {
      break;
    }
    // LB_GETTEXT takes no buffer size, and a live log may insert a longer entry at this
    // index between the two calls: leave room for any entry the program can hold.
    std::wstring text(std::max<std::size_t>(static_cast<std::size_t>(length) + 1, 32768), L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, kAnswerMs, &got) ||
        static_cast<LRESULT>(got) == LB_ERR) {
      break;
    }
    text.resize(std::min<std::size_t>(static_cast<std::size_t>(got), text.size() - 1));
    items.push_back(text);
  }
  return items;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::optional<BYTE> LayeredAlpha(HWND w) {
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!(ExStyle(w) & WS_EX_LAYERED)) return std::nullopt;
  if (!GetLayeredWindowAttributes(w, &key, &alpha, &flags) || !(flags & LWA_ALPHA)) {
    return std::nullopt;
  }
  return alpha;
}

DWORD ExStyle(HWND w) {
  return static_cast<DWORD>(GetWindowLongW(w, GWL_EXSTYLE));
}

SIZE ClientSize(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  return {r.right - r.left, r.bottom - r.top};
}

std::optional<std::wstring> ToolTipText(HWND tooltip) {
  const DWORD pid = ProcessOf(tooltip);
  UniqueHandle process(OpenProcess(
      PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE,
      pid));
  if (!process) return std::nullopt;
  // A TOOLINFOW followed by the text buffer, both in the tool tip's process: the control
  // writes through the pointers it is given, which must be valid over there.
  constexpr std::size_t kChars = 4096;
  const std::size_t size = sizeof(TOOLINFOW) + kChars * sizeof(wchar_t);
  RemoteBlock block(process.get(), size);
  if (block.get() == nullptr) return std::nullopt;
  auto* remote_text = reinterpret_cast<wchar_t*>(block.get() + sizeof(TOOLINFOW));
  const std::vector<char> zeros(size, 0);
  SIZE_T done = 0;
  if (!WriteProcessMemory(process.get(), block.get(), zeros.data(), size, &done)) {
    return std::nullopt;
  }

  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.lpszText = remote_text;
  WriteProcessMemory(process.get(), block.get(), &ti, sizeof(ti), &done);
  DWORD_PTR ok = 0;
  if (!SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(block.get()),
                           SMTO_NORMAL, kAnswerMs, &ok) ||
      !ok) {
    return std::nullopt;
  }
  // The enumeration filled in the tool's window and id; now ask for its text, bounded.
  if (!ReadProcessMemory(process.get(), block.get(), &ti, sizeof(ti), &done)) return std::nullopt;
  ti.lpszText = remote_text;
  WriteProcessMemory(process.get(), block.get(), &ti, sizeof(ti), &done);
  WriteProcessMemory(process.get(), remote_text, zeros.data(), kChars * sizeof(wchar_t), &done);
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(tooltip, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(block.get()),
                           SMTO_NORMAL, kAnswerMs, &ignored)) {
    return std::nullopt;
  }
  std::wstring text(kChars, L'\0');
  if (!ReadProcessMemory(process.get(), remote_text, text.data(), kChars * sizeof(wchar_t),
                         &done)) {
    return std::nullopt;
  }
  text.resize(wcsnlen(text.c_str(), kChars));
  return text;
}

HWND ToolTipOf(HWND owner) {
  for (HWND w : TopLevelWindows(TOOLTIPS_CLASSW, ProcessOf(owner), false)) {
    if (GetWindow(w, GW_OWNER) == owner) return w;
  }
  return nullptr;
}

// --- Message boxes

std::vector<Box> MessageBoxes(DWORD pid) {
  std::vector<Box> boxes;
  for (HWND dialog : TopLevelWindows(L"#32770", pid)) {
    Box box{dialog, TextOf(dialog), {}};
    bool is_box = true;
    for (HWND child : ChildrenOf(dialog)) {
      const std::wstring cls = ClassOf(child);
      if (lstrcmpiW(cls.c_str(), L"Edit") == 0 || lstrcmpiW(cls.c_str(), L"ComboBox") == 0) {
        is_box = false;
      }
      if (lstrcmpiW(cls.c_str(), L"Static") == 0 && box.text.empty()) box.text = TextOf(child);
    }
    if (is_box) boxes.push_back(box);
  }
  return boxes;
}

std::optional<Box> WaitMessageBox(DWORD pid, std::chrono::milliseconds timeout) {
  std::optional<Box> found;
  WaitUntil(
      [&] {
        const std::vector<Box> boxes = MessageBoxes(pid);
        // The text is set while the box is built: wait until it is there.
        if (!boxes.empty() && !boxes.front().text.empty()) found = boxes.front();
        return found.has_value();
      },
      timeout);
  return found;
}

bool CloseBox(const Box& box) {
  PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return WaitUntil([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); });
}

namespace {

// A 32-bit top-down picture to draw on and read back.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    bitmap_.reset(CreateDIBSection(dc_.get(), &bi, DIB_RGB_COLORS, &bits_, nullptr, 0));
    if (bitmap_) selected_.emplace(dc_.get(), bitmap_.get());
  }

  bool ok() const { return bits_ != nullptr && selected_ && *selected_; }
  HDC dc() const { return dc_.get(); }
  std::uint32_t At(int i) const { return static_cast<const std::uint32_t*>(bits_)[i]; }
  int size() const { return width_ * height_; }

 private:
  int width_, height_;
  // Destroyed in reverse: the bitmap is selected out before it and the context go.
  platform::win32::UniqueDc dc_;
  platform::win32::UniqueBitmap bitmap_;
  std::optional<platform::win32::SelectedObject> selected_;
  void* bits_ = nullptr;
};

// The share of pixels (0..1) on which two pictures agree within a small tolerance.
double Likeness(const Canvas& a, const Canvas& b) {
  int same = 0;
  for (int i = 0; i < a.size(); ++i) {
    bool close = true;
    for (int shift : {0, 8, 16}) {
      const int ca = static_cast<int>((a.At(i) >> shift) & 0xFF);
      const int cb = static_cast<int>((b.At(i) >> shift) & 0xFF);
      if (std::abs(ca - cb) > 8) close = false;
    }
    same += close ? 1 : 0;
  }
  return a.size() > 0 ? static_cast<double>(same) / a.size() : 0.0;
}

}  // namespace

BoxIcon IconOf(const Box& box) {
  HWND icon = nullptr;
  for (HWND child : ChildrenOf(box.hwnd)) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Static") != 0) continue;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
    DWORD_PTR handle = 0;
    SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_NORMAL, kAnswerMs, &handle);
    if (IsWindowVisible(child) && handle != 0) icon = child;
  }
  if (icon == nullptr) return BoxIcon::kNone;
  RECT r{};
  GetClientRect(icon, &r);
  POINT origin{0, 0};
  ClientToScreen(icon, &origin);
  const int w = r.right, h = r.bottom;
  if (w <= 0 || h <= 0) return BoxIcon::kNone;
  struct Known {
    BoxIcon kind;
    LPCWSTR id;
  };
  const Known known[] = {{BoxIcon::kInformation, IDI_INFORMATION}, {BoxIcon::kError, IDI_ERROR}};
  BoxIcon found = BoxIcon::kOther;
  // The box may not be painted yet when it is first seen.
  WaitUntil(
      [&] {
        Canvas shot(w, h);
        const platform::win32::WindowDc screen(nullptr);
        if (!screen || !shot.ok() ||
            !BitBlt(shot.dc(), 0, 0, w, h, screen.get(), origin.x, origin.y, SRCCOPY)) {
          return false;
        }
        // The icons' corners are clear: the box's own background shows there.
        const std::uint32_t background = shot.At(0);
        for (const Known& k : known) {
          Canvas drawn(w, h);
          if (!drawn.ok()) return false;
          const COLORREF fill =
              RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF);
          const platform::win32::UniqueBrush brush(CreateSolidBrush(fill));
          const RECT all{0, 0, w, h};
          FillRect(drawn.dc(), &all, brush.get());
          DrawIconEx(drawn.dc(), 0, 0, LoadIconW(nullptr, k.id), w, h, 0, nullptr, DI_NORMAL);
          if (Likeness(shot, drawn) > 0.97) {
            found = k.kind;
            return true;
          }
        }
        return false;
      },
      std::chrono::seconds(3));
  return found;
}

void PrintTo(BoxIcon icon, std::ostream* os) {
  static const char* const kNames[] = {"no icon", "information", "error", "another icon"};
  *os << kNames[static_cast<int>(icon)];
}

// --- File dialog

namespace {

constexpr int kFileNameEdit = 0x480;   // edt1 of the file dialog templates
constexpr int kFileNameCombo = 0x47C;  // cmb13: the Explorer-style name box

// The edit control that holds the file name, however the dialog nests it.
HWND FileNameBox(HWND dialog) {
  if (HWND edit = GetDlgItem(dialog, kFileNameEdit)) return edit;
  HWND combo = GetDlgItem(dialog, kFileNameCombo);
  if (combo == nullptr) return nullptr;
  for (HWND child : ChildrenOf(combo)) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Edit") == 0) return child;
  }
  return nullptr;
}

bool FinishFileDialog(HWND dialog, const std::wstring& path, int button) {
  HWND box = FileNameBox(dialog);
  if (box == nullptr || !SetText(box, path)) return false;
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

}  // namespace

HWND WaitFileDialog(DWORD pid, std::chrono::milliseconds timeout) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND dialog : TopLevelWindows(L"#32770", pid)) {
          if (FileNameBox(dialog) != nullptr) found = dialog;
        }
        return found != nullptr;
      },
      timeout);
  return found;
}

bool ConfirmFileDialog(HWND dialog, const std::wstring& path) {
  return FinishFileDialog(dialog, path, IDOK);
}

bool CancelFileDialog(HWND dialog, const std::wstring& typed_path) {
  return FinishFileDialog(dialog, typed_path, IDCANCEL);
}

// --- Settings

void ClearSettings(const std::wstring& app) {
  RegDeleteTreeW(HKEY_CURRENT_USER, SettingsRoot(app).c_str());
}

void StoreSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                  const std::wstring& app) {
  const std::wstring path = SettingsRoot(app) + L"\\" + section;
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  UniqueKey k(raw);
  RegSetValueExW(k.get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::wstring> StoredSetting(const std::wstring& section, const std::wstring& key,
                                          const std::wstring& app) {
  const std::wstring path = SettingsRoot(app) + L"\\" + section;
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                   &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr,
                   value.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

// --- Files

TempDir::TempDir() {
  std::wstring base(MAX_PATH + 1, L'\0');
  const DWORD n = GetTempPathW(static_cast<DWORD>(base.size()), base.data());
  base.resize(n > 0 && n < base.size() ? n : 0);
  static unsigned counter = 0;
  for (;;) {
    path_ = base + L"zurelo-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

namespace {

// Removes a folder with what it holds; a link to a folder is removed, never followed.
void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW data;
  const platform::win32::UniqueFind find(FindFirstFileW((dir + L"\\*").c_str(), &data));
  if (find.get() != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = dir + L"\\" + name;
      const DWORD folder = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
      if ((data.dwFileAttributes & folder) == FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(path.c_str());
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find.get(), &data));
  }
  RemoveDirectoryW(dir.c_str());
}

}  // namespace

TempDir::~TempDir() {
  // ZURELO_E2E_KEEP=1 keeps the peers' logs and saved files for a look after the run.
  if (GetEnvironmentVariableW(L"ZURELO_E2E_KEEP", nullptr, 0) > 0) return;
  RemoveTree(path_);
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) {
    bytes.append(chunk, got);
  }
  return bytes;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> FileNames(const std::wstring& dir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const platform::win32::UniqueFind search(FindFirstFileW((dir + L"\\*").c_str(), &found));
  if (search.get() == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileW(search.get(), &found));
  return names;
}

std::size_t ProcessesNamed(const std::wstring& exe_name) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return 0;
  std::size_t count = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (lstrcmpiW(entry.szExeFile, exe_name.c_str()) == 0) ++count;
  }
  return count;
}

// --- Peer log

std::string PeerEvent::Bytes() const {
  const auto it = fields.find("hex");
  if (it == fields.end()) return {};
  std::string out;
  const std::string& hex = it->second;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

PeerEvent ParseEvent(std::string line) {
  PeerEvent e;
  e.line = std::move(line);
  std::size_t pos = 0;
  int word = 0;
  while (pos < e.line.size()) {
    std::size_t next = e.line.find(' ', pos);
    std::string token = e.line.substr(pos, next == std::string::npos ? next : next - pos);
    const std::size_t eq = token.find('=');
    if (eq != std::string::npos && word > 0) {
      const std::string key = token.substr(0, eq);
      // The readable text is last and may hold blanks: it takes the rest of the line.
      if (key == "text") {
        e.fields[key] = e.line.substr(pos + eq + 1);
        break;
      }
      e.fields[key] = token.substr(eq + 1);
    } else if (word == 0) {
      e.window = token;
    } else if (word == 1) {
      e.what = token;
    }
    ++word;
    if (next == std::string::npos) break;
    pos = next + 1;
  }
  return e;
}

bool IsMessageEvent(const PeerEvent& e) {
  return e.window != "ready" && e.window != "hang" && e.window != "slow" && e.window != "churn" &&
         e.window != "armed" && e.window != "switched" && e.window != "error" &&
         e.window != "typed" && e.window != "emptied" && e.window != "at";
}

std::vector<PeerEvent> PeerLog::All() const {
  std::vector<PeerEvent> events;
  const std::optional<std::string> bytes = ReadBytes(path_);
  if (!bytes) return events;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = bytes->find('\n', start);
    if (end == std::string::npos) break;  // a line still being written
    events.push_back(ParseEvent(bytes->substr(start, end - start)));
    start = end + 1;
  }
  return events;
}

std::vector<std::string> PeerLog::Events() const {
  std::vector<std::string> lines;
  for (const PeerEvent& e : All()) {
    if (IsMessageEvent(e)) lines.push_back(e.line);
  }
  return lines;
}

std::vector<PeerEvent> PeerLogTail::Next() {
  std::vector<PeerEvent> events;
  if (!file_) {
    UniqueHandle file(CreateFileW(path_.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return events;
    file_ = std::move(file);
  }
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file_.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) {
    partial_.append(chunk, got);
  }
  std::size_t start = 0;
  for (std::size_t end; (end = partial_.find('\n', start)) != std::string::npos; start = end + 1) {
    events.push_back(ParseEvent(partial_.substr(start, end - start)));
  }
  partial_.erase(0, start);
  return events;
}

std::string SetTextEvent(const std::string& window, const std::string& bytes) {
  return window + " WM_SETTEXT wparam=0x0" + peer::TextFields(bytes);
}

std::string MessageEvent(const std::string& window, const std::string& message, WPARAM wp,
                         LPARAM lp) {
  return window + " " + message + " wparam=" + peer::HexNumber(wp) +
         " lparam=" + peer::HexNumber(static_cast<unsigned long long>(lp));
}

std::string SentEvent(const std::string& input, const std::string& bytes) {
  return input + " sent" + peer::TextFields(bytes);
}

std::string ClickedEvent(const std::string& button) {
  return button + " clicked";
}

// --- Peer

bool Peer::Start(const std::string& role, const std::wstring& log_path,
                 const std::optional<std::wstring>& title) {
  log_ = PeerLog(log_path);
  const peer::RoleRow* row = peer::FindRole(role);
  if (row == nullptr) return false;
  class_ = Widen(row->top_class);
  std::vector<std::wstring> args = {L"--role", Widen(role), L"--log", log_path};
  if (title) {
    args.push_back(L"--title");
    args.push_back(*title);
  }
  process_ = Process::Start(ProgramPaths().peer, args);
  return process_.started() && WaitReady(1);
}

bool Peer::WaitReady(int generation) {
  const std::string gen = std::to_string(generation);
  return WaitUntil([&] {
    for (const PeerEvent& e : log_.All()) {
      if (e.window == "ready" && e.fields.count("gen") && e.fields.at("gen") == gen) {
        return Top() != nullptr;
      }
    }
    return false;
  });
}

HWND Peer::Top() const {
  const std::vector<HWND> windows = TopLevelWindows(class_, process_.pid());
  return windows.empty() ? nullptr : windows.front();
}

bool Peer::WaitEvents(std::size_t n, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return log_.Events().size() >= n; }, timeout);
}

// --- Zurelo

::testing::AssertionResult Zurelo::Start(const std::wstring& exe) {
  main_ = nullptr;
  process_ = Process::Start(exe.empty() ? ProgramPaths().zurelo : exe);
  if (process_.started()) main_ = WaitTopLevel(kMainClass, process_.pid());
  if (main_ != nullptr) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "Zurelo.exe showed no main window: " << process_.Describe();
}

std::wstring Zurelo::Label() const {
  return TextOf(Item(ids::kSongLabel));
}

bool Zurelo::WaitLabel(const std::wstring& text, std::chrono::milliseconds timeout) const {
  return WaitUntil([&] { return Label() == text; }, timeout);
}

std::wstring Zurelo::ClickAndConfirm(int id) const {
  Click(id);
  const std::optional<Box> box = WaitMessageBox(pid());
  if (!box) return L"(no message box)";
  const std::wstring shown = box->caption + L": " + box->text;
  if (!CloseBox(*box)) return L"(the box did not close) " + shown;
  return shown;
}

bool Zurelo::Sync() const {
  // EM_SETSEL is harmless on the prefix box, and its result can be read back at once.
  static int round = 0;
  const int end = 1 + (++round % 2);
  HWND prefix = Item(ids::kPrefixBox);
  PostMessageW(prefix, EM_SETSEL, 0, end);
  return WaitUntil([&] {
    DWORD_PTR sel = 0;
    SendMessageTimeoutW(prefix, EM_GETSEL, 0, 0, SMTO_NORMAL, kAnswerMs, &sel);
    return LOWORD(sel) == 0 && HIWORD(sel) == end;
  });
}

}  // namespace e2e
