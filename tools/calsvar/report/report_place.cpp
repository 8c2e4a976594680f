#include "tools/calsvar/report/report_place.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <vector>

#include "tools/calsvar/report/report_page.h"

namespace calsvar::report {
namespace fs = std::filesystem;

namespace {

fs::path FromUtf8(const std::string& text) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

// Sheets as SheetName makes them: digits, then ".png".
bool IsSheetName(const fs::path& name) {
  const std::u8string text = name.u8string();
  if (text.size() < 8 || !text.ends_with(u8".png")) return false;
  return std::all_of(text.begin(), text.end() - 4, [](char8_t c) { return c >= u8'0' && c <= u8'9'; });
}

// The page in `path` is one that calsvar report wrote.
bool IsReportPage(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string head(4096, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  return head.find(kReportGenerator) != std::string::npos;
}

}  // namespace

ReportPlace::ReportPlace(std::string folder, bool thumbnailsInside, char separator)
    : singleFile(thumbnailsInside), folder_(std::move(folder)), separator_(separator) {}

std::string ReportPlace::SheetName(std::size_t sheet) const {
  char name[32];
  std::snprintf(name, sizeof name, "thumbs/%04zu.png", sheet + 1);
  return name;
}

std::string ReportPlace::Shown(std::string_view relative) const {
  std::string path = folder_;
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += separator_;
  for (const char c : relative) path += c == '/' ? separator_ : c;
  return path;
}

fs::path ReportPlace::PathOf(std::string_view relative) const { return FromUtf8(Shown(relative)); }

std::string ReportPlace::Prepare() const {
  const fs::path folder = FromUtf8(folder_);
  const fs::path page = PathOf("index.html");
  const fs::path thumbs = PathOf("thumbs");
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder, error)) {
    return "the folder " + folder_ + " cannot be made" + (error ? ": " + error.message() : std::string());
  }
  if (fs::exists(page, error)) {
    if (!IsReportPage(page)) {
      return Shown("index.html") + " is there and is not a page that calsvar report wrote; give a new or empty "
             "folder with -o";
    }
  } else if (!fs::is_empty(folder, error)) {
    return "the folder " + folder_ + " holds other files and no report; give a new or empty folder with -o";
  }
  // The sheets of the report written here before go: a smaller report
  // would leave some behind.
  if (fs::is_directory(thumbs, error)) {
    std::vector<fs::path> old;
    for (const fs::directory_entry& entry : fs::directory_iterator(thumbs, error)) {
      if (entry.is_regular_file(error) && IsSheetName(entry.path().filename())) old.push_back(entry.path());
    }
    for (const fs::path& sheet : old) fs::remove(sheet, error);
    if (singleFile) fs::remove(thumbs, error);  // only when empty
  }
  if (!singleFile) {
    fs::create_directories(thumbs, error);
    if (error) return "the folder " + Shown("thumbs") + " cannot be made: " + error.message();
  }
  return {};
}

}  // namespace calsvar::report
