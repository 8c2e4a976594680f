// One header record as read: its name and value.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "cals/header_layout.h"
#include "cals/text_codec.h"

namespace cals {

struct RecordFields {
  std::u16string name;   // trimmed, case as found
  std::u16string value;  // trimmed
};

// The record's text ends at its first zero byte; name and value are split
// at the first ":". Empty when the text has no ":".
std::optional<RecordFields> ReadRecordFields(std::span<const unsigned char, kRecordSize> record,
                                             const TextCodec& codec);

}  // namespace cals
