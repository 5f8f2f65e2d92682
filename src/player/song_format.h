#pragma once
// Formats: a text typed by the user with placeholders that are filled from what is known of
// what plays, the same wherever a format is used (the line, the now-playing files).
//
//   {song}      the song as the label shows it
//   {artist}    the song before its first " - " (empty when it has none)
//   {title}     the song after its first " - " (the whole song when it has none)
//   {number}    the playlist entry, counted from 1
//   {length}    the song's length, m:ss (h:mm:ss from an hour on); empty when unknown
//   {position}  the time played, the same way; empty when unknown
//   {state}     playing, paused or stopped
//   {prefix}    the prefix box, as typed (only the line has one)
//
// Anything else stays exactly as typed, "{Zurelo 1.0}" and "{Song}" included. Braces right
// before a placeholder's name count two for one, so "{{song}" is the text "{song}" and
// "{{{song}" a brace and the song. A brace followed by a placeholder's name and not by "}"
// ("{artist - {title}") is unclosed: such a format is refused.

#include <optional>
#include <string>
#include <vector>

#include "player/song_facts.h"

namespace player {

// One piece of a filled format: the user's own text, or what a placeholder gave. {prefix}
// gives the user's own text: it is typed, not read from the player.
struct FormatPart {
  std::wstring text;
  bool filled = false;
};

// The format filled, piece by piece, in order; adjacent pieces of the same kind may follow
// each other.
std::vector<FormatPart> FillFormatParts(const std::wstring& format, const SongFacts& facts,
                                        const std::wstring& prefix = {});
// The format filled, as one text.
std::wstring FillFormat(const std::wstring& format, const SongFacts& facts,
                        const std::wstring& prefix = {});

// Where the format's first unclosed placeholder starts (at its first brace); nothing when
// every placeholder is closed.
std::optional<std::size_t> UnclosedPlaceholder(const std::wstring& format);
// Why the format cannot be used, fit for a box; empty when it can.
std::wstring FormatRefusal(const std::wstring& format);

// The song split at its first " - ": the artist before it, the title after it. Without one,
// the artist is empty and the title is the song.
struct ArtistAndTitle {
  std::wstring artist;
  std::wstring title;
};
ArtistAndTitle SplitSong(const std::wstring& song);

// Seconds as m:ss, or h:mm:ss from an hour on; empty when below 0.
std::wstring FormatDuration(long long seconds);

}  // namespace player
