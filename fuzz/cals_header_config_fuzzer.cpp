// A whole file with a fuzzed tag configuration: the input is the text of
// the configuration file (as the in-memory configuration reads it: any
// sections and keys, so Readonly, Tagnames and Tagpositions of any record),
// a zero byte, then the bytes of the file. Every input splits this way; a
// zero byte in the configuration is written 0xFF 0x00 0x00 (see FuzzInput).
//
// The file is loaded through LoadHeader (which reads the records and hands
// each to AddRecord), saved with every tag marked changed, and loaded again.
// Checked: the load gives one of its defined codes and closes the file; a
// loaded model keeps the invariants of the tag model and holds exactly the
// records of the header; the save touches nothing at or past byte 1408,
// never changes the file's length, puts each record into its own 128 bytes
// and fills the unused ones; the reload gives back the names (and, with a
// blank fill character, the values as cut to their field); a save into a
// file cut below a header's length since the load is refused and changes
// nothing.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cals/cals_header.h"
#include "cals/text_rules.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/tag_model_checks.h"
#include "tests/support/header_rig.h"

namespace {

constexpr char16_t kPath[] = u"C:\\fuzz.cal";

// The records of the header's first 11 slots, read without the record
// reader: a slot is a record when a colon comes before its first zero
// byte (no other Windows-1252 byte decodes to a colon). Gives each
// record's name as the reader must give it.
std::vector<std::u16string> RecordNames(const std::uint8_t* file, const cals::TextCodec& codec) {
  std::vector<std::u16string> names;
  for (std::size_t slot = 0; slot < cals::kParsedRecords; ++slot) {
    const std::string_view record(reinterpret_cast<const char*>(file) + slot * cals::kRecordSize, cals::kRecordSize);
    const std::string_view text = record.substr(0, record.find('\0'));
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) continue;
    names.push_back(cals::ToLower(cals::Trim(codec.Decode(text.substr(0, colon)))));
  }
  return names;
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  const std::u16string configuration = input.TextUntilZero();
  const std::string_view file = input.TakeRest();
  const auto* fileBytes = reinterpret_cast<const std::uint8_t*>(file.data());

  testing_support::HeaderRig rig;
  rig.Configure(configuration);
  rig.files.files[kPath] = testing_support::Bytes(file.begin(), file.end());

  cals::CalsHeader header(rig.platform);
  const cals::Status loaded = header.LoadHeader(kPath);
  FUZZ_CHECK(rig.files.openHandles() == 0);
  FUZZ_CHECK(rig.files.updateOpens() == 0);
  FUZZ_CHECK(loaded == cals::kOk || loaded == cals::kTooShort || loaded == cals::kFail);
  FUZZ_CHECK((loaded == cals::kTooShort) == (file.size() < cals::kHeaderSize));
  if (loaded != cals::kOk) return 0;

  FUZZ_CHECK(header.fillChar == fileBytes[cals::kFillCharOffset]);
  FUZZ_CHECK(!header.dirty);
  fuzzing::CheckTagModel(header.tagFinder, rig.config);
  const std::vector<cals::Tag> before = fuzzing::RecordTags(header.tagFinder);
  const std::vector<std::u16string> names = RecordNames(fileBytes, rig.codec);
  FUZZ_CHECK(before.size() == names.size());
  for (std::size_t i = 0; i < names.size(); ++i) FUZZ_CHECK(before[i].name == names[i]);

  // Save everything back.
  header.dirty = true;
  FUZZ_CHECK(header.SaveHeader() == cals::kOk);
  FUZZ_CHECK(!header.dirty);
  FUZZ_CHECK(rig.files.openHandles() == 0);
  const testing_support::Bytes saved = rig.files.files[kPath];
  FUZZ_CHECK(saved.size() == file.size());
  FUZZ_CHECK(std::equal(saved.begin() + cals::kWrittenSize, saved.end(), fileBytes + cals::kWrittenSize));
  for (std::size_t slot = 0; slot < cals::kParsedRecords; ++slot) {
    const auto begin = saved.begin() + static_cast<std::ptrdiff_t>(slot * cals::kRecordSize);
    if (slot < before.size()) {
      // Each record starts in its own slot with its own name and ": ".
      const std::string head = rig.codec.Encode(before[slot].name + u": ", cals::kRecordSize);
      FUZZ_CHECK(std::equal(head.begin(), head.end(), begin,
                            [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; }));
    } else {
      FUZZ_CHECK(std::all_of(begin, begin + cals::kRecordSize, [&](unsigned char b) { return b == header.fillChar; }));
    }
  }

  // Load what was saved, under the same configuration.
  cals::CalsHeader reloaded(rig.platform);
  const cals::Status again = reloaded.LoadHeader(kPath);
  // A colon as fill character turns every unused slot into a nameless
  // record, which the configuration may refuse or take.
  const bool colonFill = header.fillChar == ':';
  FUZZ_CHECK(again == cals::kOk || (again == cals::kFail && colonFill && before.size() < cals::kParsedRecords));
  if (again == cals::kOk) {
    fuzzing::CheckTagModel(reloaded.tagFinder, rig.config);
    const std::vector<cals::Tag> after = fuzzing::RecordTags(reloaded.tagFinder);
    FUZZ_CHECK(before.size() == after.size() || (colonFill && before.size() < after.size()));
    const bool blankFill = fuzzing::IsBlankFill(header.fillChar);
    for (std::size_t i = 0; i < before.size(); ++i) {
      FUZZ_CHECK(before[i].name == after[i].name);
      FUZZ_CHECK(before[i].readOnly == after[i].readOnly && before[i].subTags == after[i].subTags);
      if (!blankFill) continue;
      const std::u16string_view written = std::u16string_view(before[i].value)
                                              .substr(0, static_cast<std::size_t>(std::max(before[i].fieldWidth, 0)));
      FUZZ_CHECK(after[i].value == cals::TrimRight(written));
    }
  }

  // The file is cut below a header's length after the load: the save is
  // refused and writes nothing.
  testing_support::Bytes& onDisk = rig.files.files[kPath];
  onDisk.resize(file.size() % cals::kHeaderSize);
  const testing_support::Bytes cut = onDisk;
  header.dirty = true;
  FUZZ_CHECK(header.SaveHeader() == cals::kFail);
  FUZZ_CHECK(header.dirty);
  FUZZ_CHECK(rig.files.files[kPath] == cut);
  FUZZ_CHECK(rig.files.openHandles() == 0);
  return 0;
}
