// The tag configuration file read through the platform's private-profile
// functions, exactly as the host's process reads INI files.
#pragma once

#include "cals/tag_config.h"

namespace cals {

class PrivateProfileTagConfig final : public TagConfig {
 public:
  int ReadInt(const std::u16string& file, const std::u16string& section, const std::u16string& key,
              int defaultValue) override;
  std::u16string ReadString(const std::u16string& file, const std::u16string& section,
                            const std::u16string& key, const std::u16string& defaultValue,
                            std::size_t capacity) override;
  // One GetFileAttributesExW: attributes, size, creation and last-write
  // time; for a symbolic link or another reparse point, those of the file
  // it leads to. The last-access time is left out: reading the file
  // changes it.
  ConfigFileIdentity Identify(const std::u16string& file) override;
  // The system time, in the same ticks as the file times.
  std::int64_t Now() override;
};

}  // namespace cals
