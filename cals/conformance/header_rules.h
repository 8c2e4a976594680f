// The header of a CALS Type 1 raster file judged against the standard's
// layout: 16 records of 128 bytes; records 1 to 11 srcdocid, dstdocid,
// txtfilid, figid, srcgph, doccls, rtype, rorient, rpelcnt, rdensty, notes,
// each "name: value" padded with spaces; records 12 to 16 blank.
//
// A deviation that makes common CALS readers (ImageMagick, GDAL) refuse the
// file, or show another picture, is an error; what only the standard asks
// for is a warning. Which is which was measured with the readers: the
// table of header_rules.cpp holds each rule with each reader's behaviour.
// A header whose records hold no CALS record gets the one error "not a
// CALS header"; one written as lines packed one after another gets one
// error, and no picture size.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cals/conformance/finding.h"

namespace cals::conformance {

struct HeaderReport {
  std::vector<Finding> findings;
  // The picture size as readers take it from rpelcnt ("%d,%d"), when both
  // numbers are there and above 0, and the records can be told apart.
  std::optional<std::int32_t> width;
  std::optional<std::int32_t> height;
  std::string rorient;  // the rorient value as found (other bytes than printable ASCII as \xNN), or empty
};

// `header` is the start of the file: 2048 bytes, or fewer when the file is
// shorter (records cut short are not judged).
HeaderReport CheckHeader(std::span<const std::uint8_t> header);

}  // namespace cals::conformance
