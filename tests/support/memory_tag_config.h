// A tag configuration held in memory that answers like the Windows
// private-profile functions: section and key names without regard to case,
// names and values trimmed, matching quotes stripped, the first of two
// equal sections or keys wins, a value longer than the buffer cut to
// capacity - 1, and another file than its own reads as missing. Counts
// the questions asked of it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cals/tag_config.h"
#include "cals/text_rules.h"

namespace testing_support {

class MemoryTagConfig final : public cals::TagConfig {
 public:
  MemoryTagConfig() = default;
  // `iniText` in the usual form: "[section]" lines and "key=value" lines.
  MemoryTagConfig(std::u16string file, std::u16string_view iniText) : file_(std::move(file)) { Parse(iniText); }

  int ReadInt(const std::u16string& file, const std::u16string& section, const std::u16string& key,
              int defaultValue) override {
    ++reads_;
    now += readTakes;
    const std::u16string* value = Find(file, section, key);
    if (value == nullptr || value->empty()) return defaultValue;
    return ParseIntBaseZero(*value);
  }

  std::u16string ReadString(const std::u16string& file, const std::u16string& section, const std::u16string& key,
                            const std::u16string& defaultValue, std::size_t capacity) override {
    ++reads_;
    now += readTakes;
    if (capacity == 0) return {};
    const std::u16string* found = Find(file, section, key);
    const std::u16string& value = found != nullptr ? *found : defaultValue;
    return value.substr(0, std::min(value.size(), capacity - 1));
  }

  // The file's identity and the clock as the test sets them; by default
  // the identity is unknown, and a store then keeps nothing.
  cals::ConfigFileIdentity Identify(const std::u16string& file) override {
    ++identifies_;
    return SameName(file, file_) ? identity : cals::ConfigFileIdentity{};
  }
  std::int64_t Now() override { return now; }

  cals::ConfigFileIdentity identity;
  std::int64_t now = 0;
  std::int64_t readTakes = 0;  // each read moves the clock on by this much

  int reads() const { return reads_; }
  int identifies() const { return identifies_; }

 private:
  // Section and key names are kept lower-cased for lookup.
  struct Section {
    std::u16string name;
    std::vector<std::pair<std::u16string, std::u16string>> keys;
  };

  // Compared character by character: the benchmark driver asks thousands
  // of times per second, and lower-cased copies would be most of its work.
  static bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    if (std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0) return true;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (cals::ToLower(a[i]) != cals::ToLower(b[i])) return false;
    }
    return true;
  }

  static std::u16string Unquote(std::u16string_view value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::u16string(value);
  }

  // Base 0 as Wine reads it: "0x" for hexadecimal, a leading 0 for octal,
  // reading stops at the first character that does not fit.
  static int ParseIntBaseZero(std::u16string_view text) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) negative = text[pos++] == u'-';
    int base = 10;
    if (pos + 1 < text.size() && text[pos] == u'0' && text[pos + 1] == u'x') {
      base = 16;
      pos += 2;
    } else if (pos < text.size() && text[pos] == u'0') {
      base = 8;
    }
    long long number = 0;
    for (; pos < text.size(); ++pos) {
      const char16_t c = text[pos];
      int digit = 99;
      if (c >= u'0' && c <= u'9') digit = c - u'0';
      if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
      if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
      if (digit >= base) break;
      number = number * base + digit;
      if (number > 0xFFFFFFFFLL) number = 0xFFFFFFFFLL;
    }
    return static_cast<int>(static_cast<unsigned>(negative ? -number : number));
  }

  void Parse(std::u16string_view text) {
    while (!text.empty()) {
      const std::size_t end = text.find(u'\n');
      const std::u16string_view line = cals::Trim(text.substr(0, end));
      text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
      if (line.empty()) continue;
      if (line.front() == u'[') {
        const std::size_t close = line.find(u']');
        const std::u16string_view name = line.substr(1, close == line.npos ? line.npos : close - 1);
        sections_.push_back(Section{cals::ToLower(cals::Trim(name)), {}});
        continue;
      }
      if (sections_.empty()) continue;
      const std::size_t equals = line.find(u'=');
      const std::u16string_view key = cals::Trim(line.substr(0, equals));
      const std::u16string_view value =
          equals == std::u16string_view::npos ? std::u16string_view() : cals::Trim(line.substr(equals + 1));
      sections_.back().keys.emplace_back(cals::ToLower(key), Unquote(value));
    }
  }

  // Null when the file, section or key is not there.
  const std::u16string* Find(const std::u16string& file, const std::u16string& section,
                             const std::u16string& key) const {
    if (!SameName(file, file_)) return nullptr;
    for (const Section& s : sections_) {
      if (!cals::LowersTo(section, s.name)) continue;
      for (const auto& [name, value] : s.keys) {
        if (cals::LowersTo(key, name)) return &value;
      }
      return nullptr;  // a second section of the same name is never searched
    }
    return nullptr;
  }

  std::u16string file_;
  std::vector<Section> sections_;
  int reads_ = 0;
  int identifies_ = 0;
};

}  // namespace testing_support
