#include "cals/tag_config_store.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace cals {
namespace {

// Sections are ordered by length first: most names differ in length, so a
// look-up seldom compares characters.
bool NameBefore(const std::shared_ptr<const KeptSection>& kept, std::u16string_view name) {
  const std::u16string_view keptName = kept->name;
  if (keptName.size() != name.size()) return keptName.size() < name.size();
  return keptName < name;
}

std::size_t CharactersOf(const KeptSection& section) {
  return section.name.size() + section.answers.tagNames.size() + section.answers.tagPositions.size();
}

// A plain file whose last write lies far enough back. Written so that no
// pair of times can overflow.
bool Keepable(const ConfigFileIdentity& identity, std::int64_t now) {
  if (!identity.known || !identity.plainFile) return false;
  if (now < std::numeric_limits<std::int64_t>::min() + TagConfigStore::kRacyTicks) return false;
  return identity.lastWrite <= now - TagConfigStore::kRacyTicks;
}

}  // namespace

const SectionAnswers* KeptFile::Find(std::u16string_view section) const {
  const auto at = std::lower_bound(sections.begin(), sections.end(), section, NameBefore);
  if (at == sections.end() || (*at)->name != section) return nullptr;
  return &(*at)->answers;
}

std::shared_ptr<const TagConfigStore::Files> TagConfigStore::Current() const {
  const std::lock_guard lock(mutex_);
  return files_;
}

void TagConfigStore::Replace(Files files) { files_ = std::make_shared<const Files>(std::move(files)); }

std::shared_ptr<const KeptFile> TagConfigStore::Snapshot(const std::u16string& file,
                                                         const ConfigFileIdentity& identity) {
  const std::lock_guard lock(mutex_);
  const auto kept = std::find_if(files_->begin(), files_->end(), [&](const auto& f) { return f->path == file; });
  if (kept == files_->end()) return nullptr;
  if ((*kept)->identity == identity) return *kept;
  Files rest;
  for (const auto& f : *files_) {
    if (f != *kept) rest.push_back(f);
  }
  Replace(std::move(rest));
  return nullptr;
}

void TagConfigStore::Keep(const std::u16string& file, const ConfigFileIdentity& identity, std::int64_t now,
                          std::shared_ptr<const KeptSection> section) {
  if (section == nullptr || !Keepable(identity, now)) return;
  const std::size_t characters = CharactersOf(*section);
  const std::lock_guard lock(mutex_);
  std::shared_ptr<const KeptFile> same;
  for (const auto& f : *files_) {
    if (f->path == file && f->identity == identity) same = f;
  }
  if (same != nullptr && same->Find(section->name) != nullptr) return;  // another load was first
  const std::size_t sections = same != nullptr ? same->sections.size() : 0;
  const std::size_t total = (same != nullptr ? same->characters : 0) + characters;
  if (sections >= kMaxSections || total > kMaxCharacters) return;

  auto next = same != nullptr ? std::make_shared<KeptFile>(*same) : std::make_shared<KeptFile>();
  next->path = file;
  next->identity = identity;
  next->characters = total;
  const auto at = std::lower_bound(next->sections.begin(), next->sections.end(), section->name, NameBefore);
  next->sections.insert(at, std::move(section));

  // Whatever was kept of the file under another identity goes; the file
  // kept to longest ago makes room when the bound is reached.
  Files files;
  for (const auto& f : *files_) {
    if (f->path != file) files.push_back(f);
  }
  if (files.size() >= kMaxFiles) files.erase(files.begin());
  files.push_back(std::move(next));
  Replace(std::move(files));
}

std::size_t TagConfigStore::KeptFiles() const { return Current()->size(); }

std::size_t TagConfigStore::KeptSections(const std::u16string& file) const {
  for (const auto& f : *Current()) {
    if (f->path == file) return f->sections.size();
  }
  return 0;
}

}  // namespace cals
