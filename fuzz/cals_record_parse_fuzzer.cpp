// A whole file header from fuzz bytes: loaded, saved with every tag marked
// changed, and loaded again. The save must touch nothing past byte 1407 and
// the reload must give back the same tags as written.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "cals/cals_header.h"
#include "cals/text_rules.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/tag_model_checks.h"
#include "tests/support/header_rig.h"

namespace {

constexpr char16_t kPath[] = u"C:\\fuzz.cal";

// A fixed configuration so that sub-tags and refusals are reached too.
constexpr char16_t kConfiguration[] =
    u"[rpelcnt]\nTagnames=pelx;pely\nTagpositions=1-6;8-13\n"
    u"[rorient]\nReadonly=1\nTagnames=a;b;c\nTagpositions=1-3;5-7;-2-0\n"
    u"[bad]\nTagnames=x\nTagpositions=5-3\n";


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  testing_support::HeaderRig rig;
  rig.Configure(kConfiguration);
  rig.files.files[kPath] = testing_support::Bytes(data, data + size);

  cals::CalsHeader header(rig.platform);
  const cals::Status loaded = header.LoadHeader(kPath);
  FUZZ_CHECK(rig.files.openHandles() == 0);
  if (loaded != cals::kOk) {
    FUZZ_CHECK(loaded == cals::kTooShort || loaded == cals::kFail);
    FUZZ_CHECK(size >= cals::kHeaderSize || loaded == cals::kTooShort);
    return 0;
  }
  FUZZ_CHECK(size >= cals::kHeaderSize);

  std::size_t writeBack = 0;
  for (const cals::Tag& tag : header.tagFinder.tags()) {
    FUZZ_CHECK(cals::ToLower(tag.name) == tag.name);
    FUZZ_CHECK(cals::Trim(tag.value).size() == tag.value.size() || !tag.writeBack);
    if (tag.writeBack) ++writeBack;
  }
  FUZZ_CHECK(writeBack <= cals::kParsedRecords);

  header.dirty = true;
  FUZZ_CHECK(header.SaveHeader() == cals::kOk);
  const testing_support::Bytes& saved = rig.files.files[kPath];
  FUZZ_CHECK(saved.size() == size);
  FUZZ_CHECK(std::equal(saved.begin() + cals::kWrittenSize, saved.end(), data + cals::kWrittenSize));

  cals::CalsHeader reloaded(rig.platform);
  FUZZ_CHECK(reloaded.LoadHeader(kPath) == cals::kOk);
  // The derived tags may differ: saving cuts rpelcnt to its field width,
  // which can drop its comma. The records themselves must come back.
  const std::vector<cals::Tag> before = fuzzing::RecordTags(header.tagFinder);
  const std::vector<cals::Tag> after = fuzzing::RecordTags(reloaded.tagFinder);
  // A colon as fill character turns every empty slot into a nameless
  // record; those come after the ones written.
  FUZZ_CHECK(before.size() == after.size() || (header.fillChar == ':' && before.size() < after.size()));
  const bool blankFill = fuzzing::IsBlankFill(header.fillChar);
  for (std::size_t i = 0; i < before.size(); ++i) {
    FUZZ_CHECK(before[i].name == after[i].name);
    if (!blankFill) continue;
    const std::u16string_view written =
        std::u16string_view(before[i].value).substr(0, static_cast<std::size_t>(std::max(before[i].fieldWidth, 0)));
    FUZZ_CHECK(after[i].value == cals::TrimRight(written));
  }
  return 0;
}
