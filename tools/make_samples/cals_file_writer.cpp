#include "tools/make_samples/cals_file_writer.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace samples {
namespace {

std::string Padded(int value, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*d", digits, value);
  return text;
}

}  // namespace

std::vector<std::string> StandardRecords(int width, int height, int dpi, const std::string& docId,
                                         const std::string& notes) {
  return {
      "srcdocid: " + docId,
      "dstdocid: NONE",
      "txtfilid: NONE",
      "figid: NONE",
      "srcgph: NONE",
      "doccls: NONE",
      "rtype: 1",
      "rorient: 000,270",
      "rpelcnt: " + Padded(width, 6) + "," + Padded(height, 6),
      "rdensty: " + Padded(dpi, 4),
      "notes: " + notes,
  };
}

std::string BuildHeader(const std::vector<std::string>& records) {
  if (records.size() > kRecordCount) throw std::invalid_argument("more than 16 header records");
  std::string header;
  for (const std::string& record : records) {
    if (record.size() > kRecordSize) throw std::invalid_argument("header record longer than 128 bytes: " + record);
    header += record;
    header.append(kRecordSize - record.size(), ' ');
  }
  header.append(kRecordSize * kRecordCount - header.size(), ' ');
  return header;
}

void WriteCalsFile(const std::filesystem::path& file, const std::string& header,
                   const std::vector<std::uint8_t>& raster) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(header.data(), static_cast<std::streamsize>(header.size()));
  out.write(reinterpret_cast<const char*>(raster.data()), static_cast<std::streamsize>(raster.size()));
  out.close();
  if (!out) throw std::runtime_error(file.string() + ": cannot be written");
}

}  // namespace samples
