#pragma once
// What is known of what plays: the song as the label shows it and the player's state, read
// from its title, and what the player itself answers when asked (its place in the playlist,
// the song's length and the time played), each missing while it is not known.

#include <optional>
#include <string>

#include "player/now_playing.h"

namespace player {

struct SongFacts {
  std::wstring song;
  PlayerState state = PlayerState::kNone;
  std::optional<int> list_position;   // the playlist entry, counted from 0 as the player does
  std::optional<int> length_seconds;  // missing when unknown (many streams)
  std::optional<int> position_ms;     // the time played; missing when nothing plays

  bool operator==(const SongFacts& o) const {
    return song == o.song && state == o.state && list_position == o.list_position &&
           length_seconds == o.length_seconds && position_ms == o.position_ms;
  }
  bool operator!=(const SongFacts& o) const { return !(*this == o); }
};

}  // namespace player
