#pragma once
// The stand-in peers' roles, one row each: the name given to --role, the windows' classes
// and whether they are Unicode windows. The peer builds its windows from a row; the
// end-to-end driver finds a peer's top-level window by the row's class.

#include <cstddef>
#include <iterator>
#include <string_view>

namespace peer {

enum class Role { kPlayer, kAol, kAim, kYahoo, kMirc };

// How a private window class behaves beyond recording what it receives.
enum class Kind { kPlain, kMdiFrame, kMdiChild, kButtonLike };

struct PrivateClass {
  const char* name;
  Kind kind;
};

struct RoleRow {
  Role role;
  const char* name;       // as given to --role and written in the ready line
  const char* top_class;  // the top-level window's class
  Kind top_kind;
  // Unicode windows take texts as UTF-16, as the player's and mIRC's do; ANSI windows as
  // bytes of the ANSI code page, as AOL's, AIM's and Yahoo!'s do.
  bool unicode;
  // The other private classes the role's tree is made of (standard controls need none).
  const PrivateClass* parts;
  std::size_t part_count;
};

inline constexpr PrivateClass kAolParts[] = {
    {"AOL Child", Kind::kMdiChild}, {"_AOL_Combobox", Kind::kPlain},
    {"_AOL_Listbox", Kind::kPlain}, {"_AOL_Static", Kind::kPlain},
    {"_AOL_Icon", Kind::kPlain},    {"RICHCNTLREADONLY", Kind::kPlain},
    {"RICHCNTL", Kind::kPlain},
};
inline constexpr PrivateClass kAimParts[] = {
    {"wndate32class", Kind::kPlain},
    {"ate32class", Kind::kPlain},
    {"_oscar_iconbtn", Kind::kButtonLike},
};
inline constexpr PrivateClass kYahooParts[] = {
    {"YIMInputWindow", Kind::kPlain},
};
inline constexpr PrivateClass kMircParts[] = {
    {"mirc_status", Kind::kMdiChild},
    {"mirc_channel", Kind::kMdiChild},
};

inline constexpr RoleRow kRoles[] = {
    {Role::kPlayer, "player", "Winamp v1.x", Kind::kPlain, true, nullptr, 0},
    {Role::kAol, "aol", "AOL Frame25", Kind::kMdiFrame, false, kAolParts, std::size(kAolParts)},
    {Role::kAim, "aim", "aim_chatwnd", Kind::kPlain, false, kAimParts, std::size(kAimParts)},
    {Role::kYahoo, "yahoo", "IMClass", Kind::kPlain, false, kYahooParts, std::size(kYahooParts)},
    {Role::kMirc, "mirc", "mirc", Kind::kMdiFrame, true, kMircParts, std::size(kMircParts)},
};

// The row of the role of this name, or nullptr.
inline const RoleRow* FindRole(std::string_view name) {
  for (const RoleRow& row : kRoles) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

}  // namespace peer
