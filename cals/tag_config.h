// Read access to the tag configuration file, answering the way the
// platform's private-profile functions do (section and key names without
// regard to case, values trimmed, a missing file gives the default).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace cals {

// Buffer size, terminating zero included, for the texts of the tag
// configuration: longer texts arrive cut to one character less.
inline constexpr std::size_t kConfigTextCapacity = 32767;

// What one cheap question to the file system tells of the configuration
// file. Two answers are equal only when the file is, as far as that
// question can tell, the same unchanged file. Times are in 100-nanosecond
// ticks on the scale of TagConfig::Now.
struct ConfigFileIdentity {
  bool known = false;      // false: the file is missing or could not be asked
  bool plainFile = false;  // false for a folder or anything else that is no file
  std::uint32_t attributes = 0;
  std::int64_t size = 0;
  std::int64_t created = 0;
  std::int64_t lastWrite = 0;

  friend bool operator==(const ConfigFileIdentity&, const ConfigFileIdentity&) = default;
};

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

  // The file's identity, from one question to the file system. A
  // configuration that cannot tell says "unknown", and its answers are then
  // never kept between loads.
  virtual ConfigFileIdentity Identify(const std::u16string& /*file*/) { return {}; }
  // The time now, on the scale of ConfigFileIdentity's times.
  virtual std::int64_t Now() { return 0; }
};

}  // namespace cals
