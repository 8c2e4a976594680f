// The CALS readers and writers that decide what "readable" means, run as the
// programs Debian installs: ImageMagick 6 (convert, package imagemagick)
// and GDAL (gdal_translate, package gdal-bin). Natively only. A test that
// needs them skips where they are missing (CI installs them).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/libtiff_group4.h"

namespace testing_support {

struct Picture {
  int width = 0;
  int height = 0;
  Pels pels;  // row after row, 0 white, 1 black

  bool operator==(const Picture&) const = default;
};

// What a reader made of a file: the picture it decoded, or what it said
// when it refused the file.
struct Reading {
  std::optional<Picture> picture;
  std::string message;  // the reader's first line on stderr, if any
};

class CalsPrograms {
 public:
  // Work files go to a folder of their own, removed with the object.
  CalsPrograms();
  ~CalsPrograms();
  CalsPrograms(const CalsPrograms&) = delete;
  CalsPrograms& operator=(const CalsPrograms&) = delete;

  // Both ImageMagick's convert and GDAL's gdal_translate are installed.
  static bool Installed();

  Reading ReadWithImageMagick(const std::filesystem::path& calsFile);
  Reading ReadWithGdal(const std::filesystem::path& calsFile);

  // A CALS file of the picture, written by the program; false when it
  // fails.
  bool WriteWithImageMagick(const Picture& picture, const std::filesystem::path& calsFile);
  bool WriteWithGdal(const Picture& picture, const std::filesystem::path& calsFile);

  const std::filesystem::path& folder() const { return folder_; }

 private:
  // Runs the command line with stderr into a file; its first line, or
  // empty, and whether the command succeeded.
  bool Run(const std::string& command, std::string& firstErrorLine);
  Reading ReadPgm(const std::filesystem::path& pgm, bool ok, std::string message);

  std::filesystem::path folder_;
};

}  // namespace testing_support
