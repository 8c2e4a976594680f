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
};

}  // namespace cals
