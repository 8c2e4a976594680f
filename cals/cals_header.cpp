#include "cals/cals_header.h"

#include <memory>
#include <span>

#include "cals/record_fields.h"

namespace cals {
namespace {

// The fill character lies inside the header block, so one read serves
// both: a separate read of it would cost a seek and a read more per file.
constexpr std::size_t kFillCharIndex = static_cast<std::size_t>(kFillCharOffset);

}  // namespace

Status CalsHeader::LoadHeader(const std::u16string& filePath) {
  path = filePath;
  if (platform_.files == nullptr || platform_.codec == nullptr) return kCannotOpen;
  // Closed on every way out by its destructor.
  const std::unique_ptr<OpenFile> file = platform_.files->OpenForRead(path);
  if (!file) return kCannotOpen;

  // A file opened for reading starts at its first byte: no seek needed.
  HeaderBlock block{};
  const std::size_t got = file->Read(block.data(), block.size());
  // A file that does not reach the fill character fails before the
  // configuration is looked for; one that holds it but not the whole block
  // fails after, so that a missing configuration is still reported first.
  if (got <= kFillCharIndex) return kTooShort;
  fillChar = block[kFillCharIndex];
  if (!tagFinder.BeginLoad(fillChar)) return kFail;
  // What the load read of the tag configuration goes however the load ends.
  const struct LoadEnd { TagFinder& finder; ~LoadEnd() { finder.EndLoad(); } } loadEnd{tagFinder};

  dirty = false;
  if (got != block.size()) return kTooShort;

  for (std::size_t record = 0; record < kParsedRecords; ++record) {
    const auto fields = ReadRecordFields(
        std::span<const unsigned char, kRecordSize>(block.data() + record * kRecordSize, kRecordSize),
        *platform_.codec);
    if (!fields) continue;
    if (!tagFinder.AddRecord(fields->name, fields->value)) return kFail;
  }
  return kOk;
}

Status CalsHeader::SaveHeader() {
  if (!dirty) return kOk;
  if (platform_.files == nullptr || platform_.codec == nullptr) return kFail;
  const std::unique_ptr<OpenFile> file = platform_.files->OpenForUpdate(path);
  if (!file) return kFail;
  // The file may have been cut or replaced since it was loaded. Writing the
  // records into a file that no longer holds a whole header would make it
  // longer and leave a header on something that never had one.
  const std::int64_t size = file->Size();
  if (size < static_cast<std::int64_t>(kHeaderSize)) return kFail;

  HeaderBlock block{};
  tagFinder.BuildHeaderBlock(block);
  const bool written = file->Seek(0) && file->Write(block.data(), kWrittenSize) == kWrittenSize;
  // Close even after a failed write, and count a failed flush as a failed
  // write: either way the records may not have reached the file.
  const bool closed = file->Close();
  if (!written || !closed) return kWriteFault;
  dirty = false;
  return kOk;
}

}  // namespace cals
