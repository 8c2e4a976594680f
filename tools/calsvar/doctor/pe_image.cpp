#include "tools/calsvar/doctor/pe_image.h"

#include <cstdio>

namespace calsvar {
namespace {

constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineArm64 = 0xAA64;
constexpr std::uint16_t kPe32PlusMagic = 0x020B;
constexpr std::uint16_t kPe32Magic = 0x010B;
constexpr std::uint16_t kFileIsDll = 0x2000;
// More names than any DLL exports: a larger count is a damaged table.
constexpr std::uint32_t kMaxExportNames = 65536;

// Bounds-checked little-endian reads; every offset comes from the file.
class Bytes {
 public:
  explicit Bytes(std::span<const unsigned char> bytes) : bytes_(bytes) {}

  bool Has(std::uint64_t offset, std::uint64_t size) const {
    return offset <= bytes_.size() && size <= bytes_.size() - offset;
  }
  std::uint16_t U16(std::uint64_t at) const {
    return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
  }
  std::uint32_t U32(std::uint64_t at) const {
    return static_cast<std::uint32_t>(U16(at)) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
  }
  // The NUL-terminated text at `at`, or nothing when it runs off the end.
  std::optional<std::string> Text(std::uint64_t at) const {
    std::string text;
    for (; at < bytes_.size(); ++at) {
      if (bytes_[at] == 0) return text;
      text.push_back(static_cast<char>(bytes_[at]));
    }
    return std::nullopt;
  }

 private:
  std::span<const unsigned char> bytes_;
};

struct Section {
  std::uint32_t address = 0;
  std::uint32_t size = 0;
  std::uint32_t fileOffset = 0;
};

std::optional<std::uint64_t> FileOffset(const std::vector<Section>& sections, std::uint32_t rva) {
  for (const Section& s : sections) {
    if (rva >= s.address && rva - s.address < s.size) return std::uint64_t{s.fileOffset} + (rva - s.address);
  }
  return std::nullopt;
}

std::optional<PeImage> Fail(std::string& error, const char* why) {
  error = why;
  return std::nullopt;
}

}  // namespace

std::optional<PeImage> ReadPeImage(std::span<const unsigned char> bytes, std::string& error) {
  const Bytes file(bytes);
  if (!file.Has(0, 0x40) || bytes[0] != 'M' || bytes[1] != 'Z') {
    return Fail(error, "it is not a Windows program or DLL (no MZ header)");
  }
  const std::uint64_t pe = file.U32(0x3C);
  if (!file.Has(pe, 24) || bytes[pe] != 'P' || bytes[pe + 1] != 'E' || bytes[pe + 2] != 0 || bytes[pe + 3] != 0) {
    return Fail(error, "it is not a Windows program or DLL (no PE header)");
  }
  PeImage image;
  image.machine = file.U16(pe + 4);
  const std::uint16_t sectionCount = file.U16(pe + 6);
  const std::uint16_t optionalSize = file.U16(pe + 20);
  image.dll = (file.U16(pe + 22) & kFileIsDll) != 0;
  const std::uint64_t optional = pe + 24;
  if (!file.Has(optional, 2) || !file.Has(optional, optionalSize)) return Fail(error, "its PE header is cut short");
  const std::uint16_t magic = file.U16(optional);
  if (magic != kPe32PlusMagic && magic != kPe32Magic) return Fail(error, "its PE header has an unknown format");
  image.pe32Plus = magic == kPe32PlusMagic;

  std::vector<Section> sections;
  const std::uint64_t table = optional + optionalSize;
  if (!file.Has(table, std::uint64_t{sectionCount} * 40)) return Fail(error, "its section table is cut short");
  for (std::uint16_t i = 0; i < sectionCount; ++i) {
    const std::uint64_t s = table + std::uint64_t{i} * 40;
    const std::uint32_t virtualSize = file.U32(s + 8);
    const std::uint32_t rawSize = file.U32(s + 16);
    sections.push_back(Section{file.U32(s + 12), virtualSize > rawSize ? virtualSize : rawSize, file.U32(s + 20)});
  }

  // The export directory is data directory 0.
  const std::uint64_t directories = optional + (image.pe32Plus ? 112 : 96);
  const std::uint64_t countAt = directories - 4;
  if (countAt + 4 > optional + optionalSize || file.U32(countAt) == 0 || directories + 8 > optional + optionalSize) {
    return image;  // no data directories: nothing exported
  }
  const std::uint32_t exportRva = file.U32(directories);
  if (exportRva == 0) return image;
  const auto exportAt = FileOffset(sections, exportRva);
  if (!exportAt || !file.Has(*exportAt, 40)) return Fail(error, "its export table lies outside the file");
  const std::uint32_t nameCount = file.U32(*exportAt + 24);
  const auto namesAt = FileOffset(sections, file.U32(*exportAt + 32));
  const bool namesFit = nameCount == 0 || (namesAt && file.Has(*namesAt, std::uint64_t{nameCount} * 4));
  if (nameCount > kMaxExportNames || !namesFit) {
    return Fail(error, "its export table is damaged");
  }
  for (std::uint32_t i = 0; i < nameCount; ++i) {
    const auto nameAt = FileOffset(sections, file.U32(*namesAt + std::uint64_t{i} * 4));
    std::optional<std::string> name = nameAt ? file.Text(*nameAt) : std::nullopt;
    if (!name) return Fail(error, "its export table is damaged");
    image.exports.push_back(std::move(*name));
  }
  return image;
}

std::string MachineName(std::uint16_t machine) {
  switch (machine) {
    case kMachineAmd64:
      return "64-bit x64";
    case kMachineI386:
      return "32-bit x86";
    case kMachineArm64:
      return "ARM64";
    default:
      break;
  }
  char text[24];
  std::snprintf(text, sizeof text, "machine 0x%04X", static_cast<unsigned>(machine));
  return text;
}

}  // namespace calsvar
