// The tag model of one opened CALS file: one Tag per header record (plus the
// derived tags of rpelcnt), some of them cut into SubTags at fixed positions
// by the installation's tag configuration file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cals/config_reading.h"
#include "cals/header_layout.h"
#include "cals/header_platform.h"
#include "cals/tag_model.h"

namespace cals {

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
  // Begins a new reading of the configuration.
  bool LocateConfiguration();
  // Lets go of what the load read of the configuration.
  void EndLoad();
  // Turns one header record into a tag (and the derived tags of rpelcnt).
  // False when the record's configuration is malformed; nothing is added.
  bool AddRecord(const std::u16string& name, const std::u16string& value);

  // Fills all 2048 bytes with the fill character, then writes every tag
  // with writeBack into consecutive record slots. Text is converted with
  // `codec`, or with the platform's codec where none is given.
  void BuildHeaderBlock(HeaderBlock& block) const;
  void BuildHeaderBlock(HeaderBlock& block, const TextCodec& codec) const;
  // Writes one tag into one record slot: name, ": ", at most fieldWidth
  // value characters, then the fill character up to the slot's end. Text
  // that does not fit is cut at a whole character.
  void FormatRecord(const Tag& tag, std::span<unsigned char, kRecordSize> slot) const;
  void FormatRecord(const Tag& tag, std::span<unsigned char, kRecordSize> slot, const TextCodec& codec) const;

  // True with the tag's whole value or the sub-tag's characters (right-
  // trimmed); false, with `text` untouched, when no such name exists.
  bool GetTagValue(std::u16string_view name, std::u16string& text) const;
  // True when the value was changed. Tags with sub-tags can be written only
  // through their sub-tags; read-only tags refuse every write.
  bool SetTagValue(const std::u16string& name, std::u16string text);

  const std::u16string& iniPath() const { return iniPath_; }
  const std::vector<Tag>& tags() const { return tags_; }
  unsigned char fillChar() const { return fillChar_; }

 private:
  // AddRecord's work on a record name already lower-cased.
  bool AppendTag(std::u16string name, std::u16string value);
  bool RebuildTags();

  const HeaderPlatform& platform_;
  std::u16string iniPath_;
  ConfigReading reading_;
  std::vector<Tag> tags_;
  unsigned char fillChar_ = ' ';
};

}  // namespace cals
