#include "tools/calsvar/configuration/profile_document.h"

#include <cstdint>

#include "cals/text_rules.h"
#include "tools/calsvar/output/utf8_text.h"

namespace calsvar {
namespace {

// White space to the private-profile functions: the Unicode white space
// plus the DOS end-of-file mark ^Z.
bool IsProfileSpace(char16_t c) { return c == 0x1A || cals::IsWhiteSpace(c); }

std::u16string_view TrimProfile(std::u16string_view text) {
  while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsProfileSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

bool ProfileNamesEqual(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (cals::ToLower(a[i]) != cals::ToLower(b[i])) return false;
  }
  return true;
}

ProfileDocument ProfileDocument::Parse(std::u16string_view text) {
  ProfileDocument doc;
  doc.sections_.push_back(ProfileSection{});
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find(u'\n');
    std::u16string_view line = text.substr(0, end);
    text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
    ++lineNumber;

    line = TrimProfile(line);
    if (line.empty()) continue;
    if (line.front() == u'[') {
      const std::size_t close = line.rfind(u']');
      if (close != std::u16string_view::npos) {
        doc.sections_.push_back(
            ProfileSection{std::u16string(TrimProfile(line.substr(1, close - 1))), lineNumber, {}});
        continue;
      }
      doc.unclosedHeaderLines_.push_back(lineNumber);
    }
    ProfileKey key;
    key.line = lineNumber;
    const std::size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) {
      key.name = std::u16string(line);
    } else {
      key.name = std::u16string(TrimProfile(line.substr(0, equals)));
      key.value = std::u16string(TrimProfile(line.substr(equals + 1)));
    }
    doc.sections_.back().keys.push_back(std::move(key));
  }
  return doc;
}

const ProfileSection* ProfileDocument::FindSection(std::u16string_view name) const {
  name = TrimProfile(name);
  for (const ProfileSection& section : sections_) {
    if (ProfileNamesEqual(section.name, name)) return &section;
  }
  return nullptr;
}

const ProfileKey* ProfileDocument::FindKey(std::u16string_view section, std::u16string_view key) const {
  const ProfileSection* found = FindSection(section);
  if (found == nullptr) return nullptr;
  key = TrimProfile(key);
  for (const ProfileKey& candidate : found->keys) {
    if (ProfileNamesEqual(candidate.name, key)) return &candidate;
  }
  return nullptr;
}

std::u16string ProfileDocument::ReadString(std::u16string_view section, std::u16string_view key,
                                           std::u16string_view defaultValue, std::size_t capacity) const {
  if (capacity == 0) return {};
  const ProfileKey* found = FindKey(section, key);
  std::u16string_view value = (found != nullptr && found->value) ? std::u16string_view(*found->value) : defaultValue;
  // A value in matching quotes loses them; the closing quote goes only when
  // the whole value fits the buffer, and then it takes the character
  // before it along when the value fills the buffer exactly.
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == u'\'' || value.front() == u'"') && value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::u16string out(value.substr(0, capacity - 1));
  if (quoted && capacity >= value.size() && !out.empty()) out.pop_back();
  return out;
}

int ReadLeadingInteger(std::u16string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] <= u' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  std::uint32_t base = 10;
  if (text.size() - pos >= 2 && text[pos] == u'0') {
    const char16_t prefix = text[pos + 1];
    if (prefix == u'b') base = 2;
    if (prefix == u'o') base = 8;
    if (prefix == u'x') base = 16;
    if (base != 10) pos += 2;
  }
  std::uint32_t total = 0;
  for (; pos < text.size(); ++pos) {
    const char16_t c = text[pos];
    std::uint32_t digit = 36;
    if (c >= u'0' && c <= u'9') digit = static_cast<std::uint32_t>(c - u'0');
    if (c >= u'a' && c <= u'z') digit = static_cast<std::uint32_t>(c - u'a' + 10);
    if (c >= u'A' && c <= u'Z') digit = static_cast<std::uint32_t>(c - u'A' + 10);
    if (digit >= base) break;
    total = total * base + digit;
  }
  if (negative) total = 0u - total;
  return static_cast<int>(total);
}

int ProfileDocument::ReadInt(std::u16string_view section, std::u16string_view key, int defaultValue) const {
  // The system reads the value into a buffer of 30 characters first.
  const std::u16string text = ReadString(section, key, u"", 30);
  if (text.empty()) return defaultValue;
  return ReadLeadingInteger(text);
}

std::u16string DecodeProfileBytes(std::string_view bytes, const cals::TextCodec& ansi) {
  const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 3 && byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF) {
    return DecodeUtf8(bytes.substr(3));
  }
  if (bytes.size() >= 2 && ((byteAt(0) == 0xFF && byteAt(1) == 0xFE) || (byteAt(0) == 0xFE && byteAt(1) == 0xFF))) {
    const bool little = byteAt(0) == 0xFF;
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const unsigned lo = little ? byteAt(i) : byteAt(i + 1);
      const unsigned hi = little ? byteAt(i + 1) : byteAt(i);
      text.push_back(static_cast<char16_t>(lo | (hi << 8)));
    }
    return text;
  }
  return ansi.Decode(bytes);
}

}  // namespace calsvar
