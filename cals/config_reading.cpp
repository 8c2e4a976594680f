#include "cals/config_reading.h"

#include <utility>

namespace cals {
namespace {

// The keys of a record's section. Every record asked for asks all three,
// and texts of this length do not fit a string's inline buffer: made once,
// they cost no allocation per question.
struct SectionKeys {
  const std::u16string readOnly = u"Readonly";
  const std::u16string tagNames = u"Tagnames";
  const std::u16string tagPositions = u"Tagpositions";
  const std::u16string none;
};

const SectionKeys& Keys() {
  static const SectionKeys keys;
  return keys;
}

}  // namespace

SectionAnswers ConfigReading::Ask(const std::u16string& section) {
  const SectionKeys& keys = Keys();
  SectionAnswers answers;
  answers.readOnly = config_->ReadInt(*file_, section, keys.readOnly, 0);
  answers.tagNames = config_->ReadString(*file_, section, keys.tagNames, keys.none, kConfigTextCapacity);
  answers.tagPositions = config_->ReadString(*file_, section, keys.tagPositions, keys.none, kConfigTextCapacity);
  return answers;
}

const SectionAnswers* ConfigReading::Known(const std::u16string& section) const {
  if (kept_ != nullptr) {
    if (const SectionAnswers* kept = kept_->Find(section)) return kept;
  }
  for (const auto& asked : asked_) {
    if (asked->name == section) return &asked->answers;
  }
  return nullptr;
}

void ConfigReading::Look(const ConfigFileIdentity& identity) {
  identity_ = identity;
  kept_ = store_->Snapshot(*file_, identity_);
  asked_.clear();
}

const SectionAnswers& ConfigReading::Section(const std::u16string& section) {
  if (config_ == nullptr) {
    scratch_ = SectionAnswers{};
    return scratch_;
  }
  if (store_ == nullptr || changes_ >= kMaxChanges) {
    scratch_ = Ask(section);
    return scratch_;
  }
  if (!looked_) {
    looked_ = true;
    Look(config_->Identify(*file_));
  }
  for (;;) {
    if (const SectionAnswers* known = Known(section)) return *known;
    // The clock is read before the first question: an edit after that
    // moment leaves a last write time too young to keep answers for, so
    // answers read during an edit are never kept. Read after the
    // questions, it could make an edit in the tick of the file's previous
    // write look old enough. Answers of a file that is none are not kept.
    if (!clockRead_ && identity_.known && identity_.plainFile) {
      clockRead_ = true;
      readsBegan_ = config_->Now();
    }
    auto asked = std::make_shared<KeptSection>(KeptSection{section, Ask(section)});
    const ConfigFileIdentity after = config_->Identify(*file_);
    if (after == identity_) {
      if (identity_.known && identity_.plainFile) store_->Keep(*file_, identity_, readsBegan_, asked);
      asked_.push_back(std::move(asked));
      return asked_.back()->answers;
    }
    // The file changed while it was asked: these answers may be of either
    // version, and those handed out before are of the old one.
    Look(after);
    if (++changes_ >= kMaxChanges) {
      scratch_ = std::move(asked->answers);
      return scratch_;
    }
  }
}

}  // namespace cals
