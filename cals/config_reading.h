// The tag configuration as one load sees it. With a store, the sections
// come from what the store kept for the file's present identity, and the
// others are asked of the platform (and kept where the store allows); the
// file's identity is asked again after each such question, so that a load
// notices a file that changed while it read it. Without a store, every
// section is asked of the platform as it comes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cals/tag_config.h"
#include "cals/tag_config_store.h"

namespace cals {

class ConfigReading {
 public:
  ConfigReading() = default;
  // `config` may be null: there is no configuration, and every section
  // says nothing. `file` must outlive the reading.
  ConfigReading(TagConfig* config, TagConfigStore* store, const std::u16string* file)
      : config_(config), store_(store), file_(file) {}

  // One section's answers (the section is a record name, lower-cased).
  // Valid until the next call.
  const SectionAnswers& Section(const std::u16string& section);

  // How often the file was seen to change while this load read it.
  // Answers handed out before a change belong to the file as it was.
  unsigned changes() const { return changes_; }

 private:
  // A file rewritten faster than a load reads it: after this many changes
  // the load stops waiting for a steady file and asks as it goes.
  static constexpr unsigned kMaxChanges = 4;

  SectionAnswers Ask(const std::u16string& section);
  const SectionAnswers* Known(const std::u16string& section) const;
  // Takes what the store keeps for the file as it is now.
  void Look(const ConfigFileIdentity& identity);

  TagConfig* config_ = nullptr;
  TagConfigStore* store_ = nullptr;
  const std::u16string* file_ = nullptr;
  bool looked_ = false;
  ConfigFileIdentity identity_;
  std::shared_ptr<const KeptFile> kept_;
  std::vector<std::shared_ptr<const KeptSection>> asked_;  // this load's, not in kept_
  SectionAnswers scratch_;
  unsigned changes_ = 0;
  // The time before this load's first question to the file.
  bool clockRead_ = false;
  std::int64_t readsBegan_ = 0;
};

}  // namespace cals
