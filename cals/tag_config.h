// Read access to the tag configuration file, answering the way the
// platform's private-profile functions do (section and key names without
// regard to case, values trimmed, a missing file gives the default).
#pragma once

#include <cstddef>
#include <string>

namespace cals {

// Buffer size, terminating zero included, for the texts of the tag
// configuration: longer texts arrive cut to one character less.
inline constexpr std::size_t kConfigTextCapacity = 32767;

class TagConfig {
 public:
  virtual ~TagConfig() = default;

  // As GetPrivateProfileIntW.
  virtual int ReadInt(const std::u16string& file, const std::u16string& section,
                      const std::u16string& key, int defaultValue) = 0;

  // As GetPrivateProfileStringW with a buffer of `capacity` characters
  // (the terminating zero included): a longer value is cut to
  // capacity - 1 characters.
  virtual std::u16string ReadString(const std::u16string& file, const std::u16string& section,
                                    const std::u16string& key, const std::u16string& defaultValue,
                                    std::size_t capacity) = 0;
};

}  // namespace cals
