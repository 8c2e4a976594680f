#include "cals/cals_header.h"

#include <algorithm>
#include <span>

#include "cals/record_fields.h"

namespace cals {
namespace {

// The fill character lies inside the header block, so one read serves
// both: a separate read of it would cost a seek and a read more per file.
constexpr std::size_t kFillCharIndex = static_cast<std::size_t>(kFillCharOffset);

}  // namespace

Status CalsHeader::LoadHeader(const std::u16string& filePath) {
  if (platform_.files == nullptr || platform_.codec == nullptr) {
    path = filePath;
    return kCannotOpen;
  }
  // Made once, here: the save goes to this file whatever the current folder
  // is by then.
  path = platform_.files->FullPath(filePath);
  std::size_t got = 0;
  {
    const std::unique_ptr<OpenFile> file = platform_.files->OpenForRead(path);
    if (!file) return kCannotOpen;
    // A file opened for reading starts at its first byte: no seek needed.
    // The block is read straight into the kept bytes.
    got = file->Read(kept_.data(), kept_.size());
    // Closed here, before the records are parsed: parsing asks the tag
    // configuration three times per record, which takes long on some
    // runtimes, and a file held with deny-write all that time would keep
    // every save of it out, other windows' saves among them.
  }
  // A file that does not reach the fill character fails before the
  // configuration is looked for; one that holds it but not the whole block
  // fails after, so that a missing configuration is still reported first.
  if (got <= kFillCharIndex) return kTooShort;
  fillChar = kept_[kFillCharIndex];
  if (!tagFinder.BeginLoad(fillChar)) return kFail;
  // What the load read of the tag configuration goes however the load ends.
  const struct LoadEnd { TagFinder& finder; ~LoadEnd() { finder.EndLoad(); } } loadEnd{tagFinder};

  dirty = false;
  unfinished_.reset();
  if (got != kept_.size()) return kTooShort;

  codePage_ = platform_.codec->ReadingCodePage();
  const CodePageCodec codec(*platform_.codec, codePage_);
  for (std::size_t record = 0; record < kParsedRecords; ++record) {
    const auto fields = ReadRecordFields(
        std::span<const unsigned char, kRecordSize>(kept_.data() + record * kRecordSize, kRecordSize), codec);
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
  // Read through the handle that writes, while it keeps every other writer
  // out: what is compared is what gets overwritten. A file that no longer
  // holds a whole header (cut, or replaced) is not written either: the
  // records would make it longer and put a header on something that never
  // had one.
  HeaderBlock onDisk;
  if (file->Read(onDisk.data(), onDisk.size()) != onDisk.size()) return kFail;
  // Another program, or another opened-file object, has written a header
  // since: writing this object's records would undo that change or put
  // them onto another drawing.
  if (!HoldsOwnHeader(onDisk)) return kFail;
  kept_ = onDisk;

  HeaderBlock block{};
  tagFinder.BuildHeaderBlock(block, CodePageCodec(*platform_.codec, codePage_));
  const bool written = file->Seek(0) && file->Write(block.data(), kWrittenSize) == kWrittenSize;
  // Close even after a failed write, and count a failed flush as a failed
  // write: either way the records may not have reached the file.
  const bool closed = file->Close();
  if (!written || !closed) {
    if (!unfinished_) unfinished_ = std::make_unique<WrittenBlock>();
    std::copy_n(block.begin(), kWrittenSize, unfinished_->begin());
    return kWriteFault;
  }
  std::copy_n(block.begin(), kWrittenSize, kept_.begin());
  unfinished_.reset();
  dirty = false;
  return kOk;
}

// The kept bytes, or, after a write that failed, the start of that write
// followed by the kept bytes: a write that fails part-way has written a
// first part of its records and nothing behind it. The longest start that
// matches is the only one to try, since a shorter one leaves more bytes to
// equal the kept ones.
bool CalsHeader::HoldsOwnHeader(const HeaderBlock& onDisk) const {
  if (onDisk == kept_) return true;
  if (!unfinished_) return false;
  const auto reached = std::mismatch(unfinished_->begin(), unfinished_->end(), onDisk.begin()).second;
  const auto offset = reached - onDisk.begin();
  return std::equal(reached, onDisk.end(), kept_.begin() + offset);
}

}  // namespace cals
