// What the headers of a Windows executable file say, read from its bytes
// without loading it: the machine it was built for, whether it is a DLL,
// and the names it exports. A DLL that the host cannot load (one built for
// another machine, or not a COM server at all) is told apart this way
// without running any of its code.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace calsvar {

inline constexpr std::uint16_t kMachineAmd64 = 0x8664;

struct PeImage {
  std::uint16_t machine = 0;
  bool pe32Plus = false;  // the optional header of a 64-bit image
  bool dll = false;
  std::vector<std::string> exports;  // exported names, as stored
};

// Empty with `error` (plain words) set when the bytes are no PE image or
// its headers point outside the file.
std::optional<PeImage> ReadPeImage(std::span<const unsigned char> bytes, std::string& error);

// "64-bit x64", "32-bit x86", "ARM64" or "machine 0x1234".
std::string MachineName(std::uint16_t machine);

}  // namespace calsvar
