#include "tools/calsvar/writing/write_plan.h"

#include <algorithm>

#include "cals/text_rules.h"
#include "tools/calsvar/output/value_text.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

constexpr char16_t kNone[] = u"NONE";

// The tag and sub-tag a write of `name` reaches, searched as the plug-in
// searches: sub-tags first, and the name of a tag with sub-tags never.
struct WriteTarget {
  const cals::Tag* tag = nullptr;
  const cals::SubTag* subTag = nullptr;
};

WriteTarget TargetOf(const cals::TagFinder& model, const std::u16string& name) {
  for (const cals::Tag& tag : model.tags()) {
    for (const cals::SubTag& sub : tag.subTags) {
      if (cals::LowersTo(name, sub.name)) return {&tag, &sub};
    }
    if (tag.subTags.empty() && cals::LowersTo(name, tag.name)) return {&tag, nullptr};
  }
  return {};
}

std::string Characters(std::size_t n) { return std::to_string(n) + (n == 1 ? " character" : " characters"); }

// Why `got` is not `asked`, in words.
std::string Difference(const std::u16string& asked, const std::u16string& got, const WriteTarget& target,
                       bool sharedRecord) {
  if (cals::Trim(asked) == got && asked != got) {
    return "blanks at its start or end are not kept by the header: it would become " + QuotedForMessage(got);
  }
  if (got.size() < asked.size() && asked.compare(0, got.size(), got) == 0) {
    // The room, not what is left of the value after a cut blank.
    const bool field = target.subTag != nullptr;
    const std::size_t room = field ? static_cast<std::size_t>(target.subTag->last - target.subTag->first + 1)
                             : target.tag != nullptr ? static_cast<std::size_t>(target.tag->fieldWidth)
                                                     : got.size();
    return "cut to " + Characters(std::max(room, got.size())) + ": the " + (field ? "field" : "record") +
           " holds no more";
  }
  if (sharedRecord) return "another value asked for the same record overwrites it: it would become " + QuotedForMessage(got);
  return "it would become " + QuotedForMessage(got);
}

// Numbers separated by commas, each of digits only ("001728,002200").
std::vector<std::u16string_view> Numbers(std::u16string_view text) {
  std::vector<std::u16string_view> numbers;
  for (;;) {
    const std::size_t comma = text.find(u',');
    const std::u16string_view number = text.substr(0, comma);
    if (number.empty() || !std::all_of(number.begin(), number.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
      return {};
    }
    numbers.push_back(number);
    if (comma == std::u16string_view::npos) return numbers;
    text.remove_prefix(comma + 1);
  }
}

std::u16string_view WithoutLeadingZeros(std::u16string_view number) {
  const std::size_t first = number.find_first_not_of(u'0');
  return first == std::u16string_view::npos ? number.substr(number.size() - 1) : number.substr(first);
}

// `cell` gives the same numbers as `current` but without some of their
// leading zeros, as a spreadsheet saves "001728" when it took it for a
// number.
bool IsSameNumberWithoutZeros(std::u16string_view current, std::u16string_view cell) {
  const std::vector<std::u16string_view> had = Numbers(current);
  const std::vector<std::u16string_view> got = Numbers(cell);
  if (had.empty() || had.size() != got.size() || current == cell) return false;
  for (std::size_t i = 0; i < had.size(); ++i) {
    if (got[i].size() > had[i].size() || WithoutLeadingZeros(had[i]) != WithoutLeadingZeros(got[i])) return false;
  }
  return true;
}

constexpr char kPictureSize[] =
    "it would change the picture size (rpelcnt), which belongs to the raster: calsvar never changes the raster, and "
    "readers refuse a file whose size does not match it (--force writes it anyway)";

}  // namespace

bool WritePlan::Refused() const {
  return !sideEffects.empty() ||
         std::any_of(variables.begin(), variables.end(), [](const VariableVerdict& v) { return !v.reason.empty(); });
}

bool WritePlan::Changes() const {
  return std::any_of(variables.begin(), variables.end(), [](const VariableVerdict& v) { return !v.unchanged; });
}

std::size_t WritePlan::SameNumbers() const {
  return static_cast<std::size_t>(
      std::count_if(variables.begin(), variables.end(), [](const VariableVerdict& v) { return v.sameNumber; }));
}

std::string WhyWriteIsRefused(const cals::TagFinder& model, const std::u16string& name) {
  std::string reason = "no such variable: the file has no such record and the tag configuration no such sub-tag";
  for (const cals::Tag& tag : model.tags()) {
    for (const cals::SubTag& sub : tag.subTags) {
      if (cals::LowersTo(name, sub.name)) {
        return tag.readOnly ? "read-only: a sub-tag of the read-only record \"" + Utf8(tag.name) + "\"" : std::string();
      }
    }
    if (!cals::LowersTo(name, tag.name)) continue;
    if (!tag.subTags.empty()) {
      std::string names;
      for (const cals::SubTag& sub : tag.subTags) names += (names.empty() ? "" : ", ") + Utf8(sub.name);
      reason = "the record has sub-tags and is written only through them (" + names + ")";
      continue;
    }
    if (!tag.writeBack) return "read-only: derived from rpelcnt";
    if (tag.readOnly) return "read-only: the tag configuration makes it so";
    return {};
  }
  return reason;
}

WritePlan PlanWrite(VariableAccess& file, HeaderForecast& forecast, const std::vector<RequestedValue>& requests,
                    const WriteRules& rules) {
  WritePlan plan;
  std::vector<std::u16string> names;
  for (const RequestedValue& request : requests) names.push_back(request.name);
  const std::vector<std::optional<std::u16string>> old = file.Read(names);
  const cals::TagFinder& model = forecast.loaded();

  // Every value is checked before anything is set.
  std::vector<std::size_t> toWrite;
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const RequestedValue& request = requests[i];
    VariableVerdict verdict{request.name, old[i], request.text.empty() ? kNone : request.text, std::nullopt, {}, false};
    const WriteTarget target = TargetOf(model, request.name);
    // The file's own text is no change, also where it is empty: an empty
    // value written would become NONE.
    if (rules.skipUnchanged && old[i] && (*old[i] == verdict.asked || *old[i] == request.text)) {
      verdict.unchanged = true;
    } else if (rules.numbersAsSpreadsheetsSave && old[i] && IsSameNumberWithoutZeros(*old[i], request.text)) {
      verdict.unchanged = true;
      verdict.sameNumber = true;
    } else if (const auto control = FirstControlCharacter(request.text); control && !rules.allowControl) {
      verdict.reason = "it holds " + CharacterForMessage(request.text, *control) + " at character " +
                       std::to_string(*control + 1) +
                       "; other CALS readers refuse records with control characters (--allow-control writes it anyway)";
    } else if (std::string why = rules.whyNotInCodePage ? rules.whyNotInCodePage(request.text) : std::string();
               !why.empty()) {
      verdict.reason = std::move(why);
    } else if (request.text.empty() && target.subTag != nullptr) {
      verdict.reason = "an empty value is stored as NONE, which would stand cut to the field's " +
                       Characters(static_cast<std::size_t>(target.subTag->last - target.subTag->first + 1)) +
                       " inside the record \"" + Utf8(target.tag->name) + "\"; give a value";
    } else {
      toWrite.push_back(i);
    }
    plan.variables.push_back(std::move(verdict));
  }
  if (toWrite.empty()) return plan;

  const std::vector<bool> accepted = file.Write(toWrite);
  std::vector<std::size_t> taken;
  std::vector<std::u16string> takenNames;
  for (std::size_t k = 0; k < toWrite.size(); ++k) {
    VariableVerdict& verdict = plan.variables[toWrite[k]];
    if (!accepted[k]) {
      verdict.reason = WhyWriteIsRefused(model, verdict.name);
      if (verdict.reason.empty()) verdict.reason = "refused by the plug-in";
      continue;
    }
    // The plug-in keeps a string up to its first zero character.
    const std::u16string& text = requests[toWrite[k]].text;
    if (!forecast.Set(verdict.name, text.substr(0, text.find(u'\0')))) {
      verdict.reason = "the plug-in took it, but the tag configuration as calsvar read it refuses it; try again";
      continue;
    }
    taken.push_back(toWrite[k]);
    takenNames.push_back(verdict.name);
  }

  // What the plug-in now holds, and what the file would give after a save.
  const std::vector<std::optional<std::u16string>> readBack = takenNames.empty()
                                                                  ? std::vector<std::optional<std::u16string>>()
                                                                  : file.Read(takenNames);
  std::vector<const cals::Tag*> touchedTags;
  for (std::size_t k = 0; k < taken.size(); ++k) touchedTags.push_back(TargetOf(model, takenNames[k]).tag);
  for (std::size_t k = 0; k < taken.size(); ++k) {
    VariableVerdict& verdict = plan.variables[taken[k]];
    const WriteTarget target = TargetOf(model, verdict.name);
    const bool sharedRecord = std::count(touchedTags.begin(), touchedTags.end(), target.tag) > 1;
    verdict.become = forecast.AfterSave(verdict.name);
    if (!readBack[k]) {
      verdict.reason = "it cannot be read back after the write";
    } else if (*readBack[k] != verdict.asked) {
      verdict.become = readBack[k];
      verdict.reason = Difference(verdict.asked, *readBack[k], target, sharedRecord);
    } else if (!verdict.become) {
      verdict.reason = "the saved header would not hold it";
    } else if (*verdict.become != verdict.asked) {
      verdict.reason = Difference(verdict.asked, *verdict.become, target, sharedRecord);
    }
  }

  // Nothing else may change: the other variables keep their values, and a
  // record whose sub-tag was written keeps what it holds in memory. (With
  // nothing taken there is nothing to save.)
  if (taken.empty()) return plan;

  // The raster keeps its size whatever the header says, so a header whose
  // size changes no longer describes it.
  std::u16string sizeBefore;
  if (!rules.pictureSizeMayChange && model.GetTagValue(u"rpelcnt", sizeBefore) &&
      forecast.AfterSave(u"rpelcnt") != sizeBefore) {
    for (std::size_t k = 0; k < taken.size(); ++k) {
      VariableVerdict& verdict = plan.variables[taken[k]];
      const cals::Tag* tag = TargetOf(model, verdict.name).tag;
      if (tag != nullptr && tag->name == u"rpelcnt" && verdict.reason.empty()) verdict.reason = kPictureSize;
    }
  }
  for (const cals::Tag& tag : model.tags()) {
    if (!tag.writeBack) continue;  // width, height, colordepth follow rpelcnt
    std::vector<std::u16string> others;
    for (const cals::SubTag& sub : tag.subTags) others.push_back(sub.name);
    others.push_back(tag.name);
    const bool touched = std::find(touchedTags.begin(), touchedTags.end(), &tag) != touchedTags.end();
    for (const std::u16string& name : others) {
      const bool asked = std::any_of(takenNames.begin(), takenNames.end(),
                                     [&](const std::u16string& n) { return cals::LowersTo(n, name); });
      if (asked) continue;
      std::u16string before;
      if (!model.GetTagValue(name, before)) continue;
      const bool isRecord = &name == &others.back();
      const std::optional<std::u16string> expected = touched && isRecord ? forecast.InMemory(name) : before;
      const std::optional<std::u16string> after = forecast.AfterSave(name);
      if (after != expected) {
        plan.sideEffects.push_back("a save would also change \"" + Utf8(name) + "\" from " +
                                   QuotedForMessage(expected.value_or(u"")) + " to " +
                                   QuotedForMessage(after.value_or(u"")));
      }
    }
  }
  return plan;
}

}  // namespace calsvar
