// The tag configuration and the installation folder as calsvar asks them
// when it lists a file's variable names: each question goes to the platform
// once per run and its answer is kept. calsvar opens every file through the
// plug-in, which reads the configuration afresh for every record of every
// load; listing the names with fresh reads as well would make every file of
// "calsvar get" cost two loads' worth of private-profile reads, which are
// nearly all of a load's time under Wine.
//
// The answers are those of the run's start: a configuration edited while
// calsvar works through a folder is seen by the plug-in's values at once and
// by the listed names only in the next run.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <tuple>

#include "cals/installation.h"
#include "cals/tag_config.h"

namespace calsvar {

class RememberedTagConfig final : public cals::TagConfig {
 public:
  explicit RememberedTagConfig(cals::TagConfig& source) : source_(source) {}

  int ReadInt(const std::u16string& file, const std::u16string& section, const std::u16string& key,
              int defaultValue) override;
  std::u16string ReadString(const std::u16string& file, const std::u16string& section, const std::u16string& key,
                            const std::u16string& defaultValue, std::size_t capacity) override;

 private:
  // Questions are kept exactly as asked; the same question in another case
  // goes to the platform once more, which only costs a read.
  using IntQuestion = std::tuple<std::u16string, std::u16string, std::u16string, int>;
  using StringQuestion = std::tuple<std::u16string, std::u16string, std::u16string, std::u16string, std::size_t>;

  cals::TagConfig& source_;
  std::map<IntQuestion, int> ints_;
  std::map<StringQuestion, std::u16string> strings_;
};

// Keeps the first folder found; an unknown folder is asked for again.
class RememberedInstallation final : public cals::InstallationLocator {
 public:
  explicit RememberedInstallation(cals::InstallationLocator& source) : source_(source) {}
  std::u16string SharedFolder() override;

 private:
  cals::InstallationLocator& source_;
  std::u16string folder_;
};

}  // namespace calsvar
