// The header of a CALS Type 1 raster file judged against the standard's
// layout: 16 records of 128 bytes; records 1 to 11 srcdocid, dstdocid,
// txtfilid, figid, srcgph, doccls, rtype, rorient, rpelcnt, rdensty, notes,
// each "name: value" padded with spaces; records 12 to 16 blank.
//
// A deviation that makes common CALS readers refuse the file is an error:
// they find records by their exact lower-case text ("rpelcnt:", "rtype: 1"),
// some only at the start of a record, stop at the first NUL byte and read
// the numbers with scanf. What only the standard asks for is a warning.
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
  // numbers are there and above 0.
  std::optional<std::int32_t> width;
  std::optional<std::int32_t> height;
  std::string rorient;  // the rorient value as found (other bytes than printable ASCII as \xNN), or empty
};

// `header` is the start of the file: 2048 bytes, or fewer when the file is
// shorter (records cut short are not judged).
HeaderReport CheckHeader(std::span<const std::uint8_t> header);

}  // namespace cals::conformance
