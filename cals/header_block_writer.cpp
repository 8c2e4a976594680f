// BuildHeaderBlock and FormatRecord: the tag list back into header records.
#include <algorithm>
#include <string_view>

#include "cals/surrogates.h"
#include "cals/tag_finder.h"

namespace cals {
namespace {

// The first `count` characters of a value as they go into a record: never
// past a zero character (a record holds no zero byte), and never half of a
// surrogate pair.
std::u16string_view WrittenPart(std::u16string_view value, std::int32_t count) {
  std::u16string_view part = value.substr(0, static_cast<std::size_t>(std::max(count, 0)));
  part = part.substr(0, part.find(u'\0'));
  if (!part.empty() && part.size() < value.size() && IsHighSurrogate(part.back())) part.remove_suffix(1);
  return part;
}

// Copies what fits; a codec that returned more than it was allowed cannot
// reach the next record.
std::size_t CopyInto(std::span<unsigned char, kRecordSize> slot, std::size_t at, const std::string& bytes) {
  const std::size_t count = std::min(bytes.size(), kRecordSize - at);
  std::copy_n(bytes.begin(), count, slot.begin() + static_cast<std::ptrdiff_t>(at));
  return at + count;
}

}  // namespace

void TagFinder::FormatRecord(const Tag& tag, std::span<unsigned char, kRecordSize> slot) const {
  FormatRecord(tag, slot, *platform_.codec);
}

void TagFinder::FormatRecord(const Tag& tag, std::span<unsigned char, kRecordSize> slot,
                             const TextCodec& codec) const {
  std::u16string head = tag.name.substr(0, tag.name.find(u'\0'));
  head += u": ";
  std::size_t used = CopyInto(slot, 0, codec.Encode(head, kRecordSize));
  const std::u16string_view value = WrittenPart(tag.value, tag.fieldWidth);
  if (!value.empty()) used = CopyInto(slot, used, codec.Encode(value, kRecordSize - used));
  std::fill(slot.begin() + static_cast<std::ptrdiff_t>(used), slot.end(), fillChar_);
}

void TagFinder::BuildHeaderBlock(HeaderBlock& block) const { BuildHeaderBlock(block, *platform_.codec); }

void TagFinder::BuildHeaderBlock(HeaderBlock& block, const TextCodec& codec) const {
  block.fill(fillChar_);
  std::size_t slot = 0;
  for (const Tag& tag : tags_) {
    if (!tag.writeBack) continue;
    // Only records 1 to 11 are ever written back.
    if (slot == kParsedRecords) break;
    FormatRecord(tag, std::span<unsigned char, kRecordSize>(block.data() + slot * kRecordSize, kRecordSize), codec);
    ++slot;
  }
}

}  // namespace cals
