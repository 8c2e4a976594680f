// The tag model of one opened CALS file: one Tag per header record (plus the
// derived tags of rpelcnt), some of them cut into SubTags at fixed positions
// by the installation's tag configuration file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cals/header_platform.h"

namespace cals {

inline constexpr std::size_t kRecordSize = 128;
inline constexpr std::size_t kParsedRecords = 11;
inline constexpr std::size_t kHeaderSize = 2048;
inline constexpr std::size_t kWrittenSize = kRecordSize * kParsedRecords;  // 1408
inline constexpr std::int64_t kFillCharOffset = 895;
// Room for name + ": " + value in one record.
inline constexpr int kRecordRoom = 126;

using HeaderBlock = std::array<unsigned char, kHeaderSize>;

struct SubTag {
  std::u16string name;  // lower-cased, not trimmed
  std::int32_t first = -1;  // 1-based, inclusive
  std::int32_t last = -1;   // 1-based, inclusive
};

struct Tag {
  std::u16string name;   // trimmed, lower-cased
  std::u16string value;  // as read (trimmed), later as written
  bool readOnly = false;
  bool writeBack = true;
  std::int32_t fieldWidth = 0;
  std::vector<SubTag> subTags;
};

class TagFinder {
 public:
  explicit TagFinder(const HeaderPlatform& platform);
  virtual ~TagFinder() = default;

  TagFinder(const TagFinder&) = delete;
  TagFinder& operator=(const TagFinder&) = delete;

  // Empties the tag list and locates the configuration; keeps the fill
  // character only when the configuration was located.
  bool BeginLoad(unsigned char fillChar);
  // iniPath = shared installation folder + "FileFormats\Mirotex.ini".
  bool LocateConfiguration();
  // Turns one header record into a tag (and the derived tags of rpelcnt).
  // False when the record's configuration is malformed; nothing is added.
  bool AddRecord(const std::u16string& name, const std::u16string& value);

  // Fills all 2048 bytes with the fill character, then writes every tag
  // with writeBack into consecutive record slots.
  void BuildHeaderBlock(HeaderBlock& block) const;
  // Writes one tag into the 128-byte record slot at `slot`.
  void FormatRecord(const Tag& tag, unsigned char* slot) const;

  bool GetTagValue(const std::u16string& name, std::u16string& text) const;
  bool SetTagValue(const std::u16string& name, std::u16string text);

  const std::u16string& iniPath() const { return iniPath_; }
  const std::vector<Tag>& tags() const { return tags_; }
  unsigned char fillChar() const { return fillChar_; }

 private:
  const HeaderPlatform& platform_;
  std::u16string iniPath_;
  std::vector<Tag> tags_;
  unsigned char fillChar_ = ' ';
};

}  // namespace cals
