#include "tools/calsvar/writing/header_forecast.h"

namespace calsvar {
namespace {

// The core loads by path; the memory files answer every path alike.
const std::u16string kPath = u"header";

std::optional<std::u16string> ValueOf(const cals::TagFinder& model, const std::u16string& name) {
  std::u16string text;
  if (!model.GetTagValue(name, text)) return std::nullopt;
  return text;
}

}  // namespace

HeaderForecast::HeaderForecast(std::span<const unsigned char> header, const cals::HeaderPlatform& platform)
    : original_(std::vector<unsigned char>(header.begin(), header.end())),
      working_(std::vector<unsigned char>(header.begin(), header.end())),
      loadedPlatform_{platform.codec, &original_, platform.config, platform.installation, platform.configStore},
      workingPlatform_{platform.codec, &working_, platform.config, platform.installation, platform.configStore},
      loaded_(std::make_unique<cals::CalsHeader>(loadedPlatform_)),
      work_(std::make_unique<cals::CalsHeader>(workingPlatform_)) {
  status_ = loaded_->LoadHeader(kPath);
  if (cals::Succeeded(status_)) status_ = work_->LoadHeader(kPath);
}

bool HeaderForecast::Set(const std::u16string& name, const std::u16string& text) {
  reloaded_.reset();
  if (!work_->tagFinder.SetTagValue(name, text)) return false;
  work_->dirty = true;
  return true;
}

void HeaderForecast::Save() {
  if (reloaded_) return;
  work_->SaveHeader();
  reloaded_ = std::make_unique<cals::CalsHeader>(workingPlatform_);
  reloaded_->LoadHeader(kPath);
}

std::optional<std::u16string> HeaderForecast::AfterSave(const std::u16string& name) {
  Save();
  return ValueOf(reloaded_->tagFinder, name);
}

const std::vector<unsigned char>& HeaderForecast::SavedBytes() {
  Save();
  return working_.bytes();
}

std::optional<std::u16string> HeaderForecast::InMemory(const std::u16string& name) const {
  return ValueOf(work_->tagFinder, name);
}

}  // namespace calsvar
