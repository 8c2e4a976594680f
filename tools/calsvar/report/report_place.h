// The folder a report is written into: DIR/index.html and, unless the
// thumbnails go inside the page, their sheets DIR/thumbs/0001.png, ...
// calsvar report writes only into a new or empty folder, or over a report
// it wrote before (its page says so), so that it never replaces a page or
// a picture of someone else's.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace calsvar::report {

class ReportPlace {
 public:
  // `folder` UTF-8, as typed; `separator` the one messages and paths put
  // after it ('/' or '\\', as the person writes paths).
  ReportPlace(std::string folder, bool singleFile, char separator);

  // Makes the folder (and thumbs/) when missing, and removes the sheets of
  // the report written there before. Empty when the report may be written,
  // else why not, in words that name the folder.
  std::string Prepare() const;

  // "thumbs/0001.png" for sheet 0: relative to the page, as its links are.
  std::string SheetName(std::size_t sheet) const;
  // Where a file of the report lies ("index.html", a sheet's name).
  std::filesystem::path PathOf(std::string_view relative) const;
  // The same as messages show it, in the form the folder was typed.
  std::string Shown(std::string_view relative) const;

  const bool singleFile;

 private:
  std::string folder_;
  char separator_;
};

}  // namespace calsvar::report
