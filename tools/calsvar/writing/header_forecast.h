// What a save would leave in a header, found without writing the file:
// the core's own steps (load, set, build the records, load again) on a
// copy of the header in memory, with the tag configuration as the plug-in
// reads it. The plug-in keeps a whole value in memory and cuts it only
// when it writes the record, and a reload trims what the record holds, so
// only such a round trip shows what the file will give afterwards.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cals/cals_header.h"
#include "cals/header_platform.h"
#include "tools/calsvar/writing/memory_header_file.h"

namespace calsvar {

class HeaderForecast {
 public:
  // `header`: the file's first bytes as read; `platform` gives the codec,
  // the tag configuration, its store and the installation (its files are
  // not used). Without the store each forecast would ask the configuration
  // file for every record three times, many times what the save costs.
  HeaderForecast(std::span<const unsigned char> header, const cals::HeaderPlatform& platform);
  HeaderForecast(const HeaderForecast&) = delete;
  HeaderForecast& operator=(const HeaderForecast&) = delete;

  // Of loading the copy: as LoadHeader gives it.
  cals::Status status() const { return status_; }
  // The model as loaded, before any Set.
  const cals::TagFinder& loaded() const { return loaded_->tagFinder; }

  // SetTagValue on the working model; true when the model took it.
  bool Set(const std::u16string& name, const std::u16string& text);

  // After the last Set: the records built as a save builds them, then read
  // again. The value of `name` as the saved file would give it, or empty
  // when the file would have no such variable.
  std::optional<std::u16string> AfterSave(const std::u16string& name);
  // After the last Set: the header bytes the save would leave, to hold
  // against what the plug-in wrote.
  const std::vector<unsigned char>& SavedBytes();
  // In the working model, before the save.
  std::optional<std::u16string> InMemory(const std::u16string& name) const;

 private:
  void Save();

  MemoryHeaderFile original_;
  MemoryHeaderFile working_;
  cals::HeaderPlatform loadedPlatform_;
  cals::HeaderPlatform workingPlatform_;
  std::unique_ptr<cals::CalsHeader> loaded_;
  std::unique_ptr<cals::CalsHeader> work_;
  std::unique_ptr<cals::CalsHeader> reloaded_;
  cals::Status status_ = cals::kOk;
};

}  // namespace calsvar
