#include "tests/support/libtiff_group4.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <memory>
#include <stdexcept>

namespace testing_support {
namespace {

// A TIFF file in a vector, for TIFFClientOpen, and the first thing libtiff
// complained of while it was open.
struct MemoryFile {
  std::vector<std::uint8_t> bytes;
  std::size_t pos = 0;
  std::string complaint;
};

MemoryFile& FileOf(thandle_t handle) { return *static_cast<MemoryFile*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  MemoryFile& file = FileOf(handle);
  const std::size_t n = std::min(static_cast<std::size_t>(size), file.bytes.size() - std::min(file.pos, file.bytes.size()));
  std::memcpy(buffer, file.bytes.data() + file.pos, n);
  file.pos += n;
  return static_cast<tmsize_t>(n);
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
  MemoryFile& file = FileOf(handle);
  const auto n = static_cast<std::size_t>(size);
  if (file.bytes.size() < file.pos + n) file.bytes.resize(file.pos + n);
  std::memcpy(file.bytes.data() + file.pos, buffer, n);
  file.pos += n;
  return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  MemoryFile& file = FileOf(handle);
  const std::size_t base = whence == SEEK_CUR ? file.pos : whence == SEEK_END ? file.bytes.size() : 0;
  file.pos = base + static_cast<std::size_t>(offset);
  return file.pos;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return FileOf(handle).bytes.size(); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using UniqueTiff = std::unique_ptr<TIFF, TiffCloser>;

// libtiff hands each error and warning of an open file to these, with the
// file's own handle.
void Complain(thandle_t handle, const char* module, const char* format, va_list args) {
  if (handle == nullptr) return;  // not about an open file
  MemoryFile& file = FileOf(handle);
  if (!file.complaint.empty()) return;
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  file.complaint = std::string(module != nullptr ? module : "libtiff") + ": " + text;
}

UniqueTiff Open(MemoryFile& file, const char* mode) {
  // Nothing is printed: errors come back as results and complaints, and the
  // tests say what went wrong.
  TIFFSetErrorHandler(nullptr);
  TIFFSetWarningHandler(nullptr);
  TIFFSetErrorHandlerExt(Complain);
  TIFFSetWarningHandlerExt(Complain);
  file.pos = 0;
  return UniqueTiff(TIFFClientOpen("memory", mode, &file, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                                   UnmapProc));
}

void SetGroup4Fields(TIFF* tiff, int width, int height) {
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(width));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(height));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(height));
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
}

std::size_t Stride(int width) { return (static_cast<std::size_t>(width) + 7) / 8; }

}  // namespace

struct LibtiffStrip::Held {
  MemoryFile file;
  UniqueTiff tiff;
  std::size_t size = 0;
};

LibtiffStrip::LibtiffStrip(std::span<const std::uint8_t> data, int width, int height) : held_(std::make_unique<Held>()) {
  {
    const UniqueTiff tiff = Open(held_->file, "w");
    if (!tiff) throw std::runtime_error("libtiff cannot make a file in memory");
    SetGroup4Fields(tiff.get(), width, height);
    std::vector<std::uint8_t> raw(data.begin(), data.end());
    if (TIFFWriteRawStrip(tiff.get(), 0, raw.data(), static_cast<tmsize_t>(raw.size())) < 0) {
      throw std::runtime_error("libtiff cannot hold the strip");
    }
  }
  held_->tiff = Open(held_->file, "r");
  if (!held_->tiff) throw std::runtime_error("libtiff cannot read back the file it wrote");
  held_->size = Stride(width) * static_cast<std::size_t>(height);
}

LibtiffStrip::~LibtiffStrip() = default;

bool LibtiffStrip::Decode(std::vector<std::uint8_t>& packed) {
  packed.resize(held_->size);
  return TIFFReadEncodedStrip(held_->tiff.get(), 0, packed.data(), static_cast<tmsize_t>(packed.size())) >= 0;
}

std::optional<std::string> LibtiffComplaint(std::span<const std::uint8_t> data, int width, int height) {
  LibtiffStrip strip(data, width, height);
  std::vector<std::uint8_t> packed;
  const bool decoded = strip.Decode(packed);
  const std::string& complaint = strip.held_->file.complaint;
  if (!complaint.empty()) return complaint;
  if (!decoded) return "libtiff: the strip cannot be decoded";
  return std::nullopt;
}

std::optional<Pels> LibtiffDecodeGroup4(std::span<const std::uint8_t> data, int width, int height) {
  LibtiffStrip strip(data, width, height);
  std::vector<std::uint8_t> packed;
  if (!strip.Decode(packed)) return std::nullopt;
  Pels pels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
    for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
      pels[y * static_cast<std::size_t>(width) + x] = (packed[y * Stride(width) + x / 8] >> (7 - x % 8)) & 1u;
    }
  }
  return pels;
}

std::vector<std::uint8_t> LibtiffEncodeGroup4(const Pels& pels, int width, int height) {
  std::vector<std::uint8_t> packed(Stride(width) * static_cast<std::size_t>(height), 0);
  for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
    for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
      if (pels[y * static_cast<std::size_t>(width) + x] != 0) {
        packed[y * Stride(width) + x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
      }
    }
  }
  MemoryFile file;
  {
    const UniqueTiff tiff = Open(file, "w");
    if (!tiff) throw std::runtime_error("libtiff cannot make a file in memory");
    SetGroup4Fields(tiff.get(), width, height);
    if (TIFFWriteEncodedStrip(tiff.get(), 0, packed.data(), static_cast<tmsize_t>(packed.size())) < 0) {
      throw std::runtime_error("libtiff cannot code the pels");
    }
  }
  const UniqueTiff tiff = Open(file, "r");
  if (!tiff) throw std::runtime_error("libtiff cannot read back the file it wrote");
  std::vector<std::uint8_t> raw(static_cast<std::size_t>(TIFFRawStripSize(tiff.get(), 0)));
  if (TIFFReadRawStrip(tiff.get(), 0, raw.data(), static_cast<tmsize_t>(raw.size())) < 0) {
    throw std::runtime_error("libtiff cannot read back its strip");
  }
  return raw;
}

}  // namespace testing_support
