// An INI file read the way Wine's private-profile functions read it, with
// the line of every section and key kept for messages:
// - lines are trimmed; a line that starts with "[" and holds a "]" starts a
//   section named by the text up to the last "]", trimmed;
// - every other line is a key: the name up to the first "=" and the value
//   after it, both trimmed; a line without "=" is a key without a value;
//   a line starting with ";" is a key like any other, not a comment;
// - a lookup takes the first section whose name equals the trimmed query
//   (without regard to case) and in it the first key of that name; later
//   sections or keys of the same name are never read. The keys before the
//   first section header form a section with an empty name.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cals/text_codec.h"

namespace calsvar {

struct ProfileKey {
  std::u16string name;
  std::optional<std::u16string> value;  // empty when the line has no "="
  int line = 0;
};

struct ProfileSection {
  std::u16string name;  // between the brackets, trimmed
  int line = 0;         // 0 for the keys before the first section
  std::vector<ProfileKey> keys;
};

class ProfileDocument {
 public:
  static ProfileDocument Parse(std::u16string_view text);

  // The first entry holds the keys before the first section header.
  const std::vector<ProfileSection>& sections() const { return sections_; }
  // Lines that start with "[" but have no "]": read as keys.
  const std::vector<int>& unclosedHeaderLines() const { return unclosedHeaderLines_; }

  const ProfileSection* FindSection(std::u16string_view name) const;
  const ProfileKey* FindKey(std::u16string_view section, std::u16string_view key) const;

  // As GetPrivateProfileStringW with a buffer of `capacity` characters:
  // quotes around the value stripped, cut to capacity - 1 characters.
  std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view defaultValue, std::size_t capacity) const;
  // As GetPrivateProfileIntW: the default for a missing or empty value,
  // else the number at the start of the value (base prefixes 0x, 0o, 0b).
  int ReadInt(std::u16string_view section, std::u16string_view key, int defaultValue) const;

 private:
  std::vector<ProfileSection> sections_;
  std::vector<int> unclosedHeaderLines_;
};

// Case-insensitive equality as the private-profile functions compare names.
bool ProfileNamesEqual(std::u16string_view a, std::u16string_view b);

// File bytes as text: a UTF-8 or UTF-16 byte-order mark is honoured, other
// files are read in the ANSI code page (`ansi`).
std::u16string DecodeProfileBytes(std::string_view bytes, const cals::TextCodec& ansi);

// The number at the start of `text` as the system reads integer settings:
// leading control characters and blanks skipped, an optional sign, an
// optional base prefix 0x, 0o or 0b (lower case only), then digits up to
// the first character that is not one; 32-bit wrap-around.
int ReadLeadingInteger(std::u16string_view text);

}  // namespace calsvar
