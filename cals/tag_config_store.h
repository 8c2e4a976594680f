// The tag configuration's answers, kept for the whole process while the
// configuration file stays unchanged. Every load of every opened file asks
// the same few questions of the same file; on Windows each question finds,
// opens, reads and parses the file again, which costs many times what
// reading the CALS header itself costs.
//
// Answers are kept per file path and per section, exactly as the platform
// gave them, together with the file's identity at the time they were asked.
// A load that finds the file with another identity (or finds no file) drops
// whatever was kept for it. The store is never changed under a reader:
// every change makes a new set of kept files that replaces the old one
// whole, and a load works on the set it found when it began.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "cals/tag_config.h"

namespace cals {

// What one record's section of the configuration file says.
struct SectionAnswers {
  int readOnly = 0;             // "Readonly" as a number, default 0
  std::u16string tagNames;      // "Tagnames", cut as the platform cuts it
  std::u16string tagPositions;  // "Tagpositions", likewise
};

struct KeptSection {
  std::u16string name;  // as asked: the record name, lower-cased
  SectionAnswers answers;
};

// The answers kept for one configuration file while it had one identity.
// Never changed once made.
struct KeptFile {
  std::u16string path;
  ConfigFileIdentity identity;
  std::vector<std::shared_ptr<const KeptSection>> sections;  // by length of name, then name
  std::size_t characters = 0;  // of every kept name and text

  // Null when the section is not kept.
  const SectionAnswers* Find(std::u16string_view section) const;
};

class TagConfigStore {
 public:
  // Bounds: a few files (the shared folder may change while the host runs)
  // and a few hundred sections of moderate length each. Sections beyond
  // them are asked at every load and not kept; the oldest file makes room
  // for a new one.
  static constexpr std::size_t kMaxFiles = 4;
  static constexpr std::size_t kMaxSections = 256;
  static constexpr std::size_t kMaxCharacters = std::size_t{1} << 20;
  // Answers asked while the file's last write is younger than this are not
  // kept: on a file system with coarse times (FAT: two seconds) a second
  // edit within the same tick would leave the identity unchanged.
  static constexpr std::int64_t kRacyTicks = 2 * 10'000'000;

  TagConfigStore() = default;
  TagConfigStore(const TagConfigStore&) = delete;
  TagConfigStore& operator=(const TagConfigStore&) = delete;

  // What is kept of `file` for exactly this identity; null when nothing is.
  // What was kept of the file under another identity is dropped.
  std::shared_ptr<const KeptFile> Snapshot(const std::u16string& file, const ConfigFileIdentity& identity);

  // Keeps one section's answers, asked while the file had `identity` (the
  // same before and after asking), `now` being the clock before the load
  // asked its first question; does nothing
  // when the file is no plain file, was written too recently, or the
  // bounds are reached.
  void Keep(const std::u16string& file, const ConfigFileIdentity& identity, std::int64_t now,
            std::shared_ptr<const KeptSection> section);

  // What is kept now: files, and sections of `file`.
  std::size_t KeptFiles() const;
  std::size_t KeptSections(const std::u16string& file) const;

 private:
  using Files = std::vector<std::shared_ptr<const KeptFile>>;  // oldest first

  std::shared_ptr<const Files> Current() const;
  // Replaces the set whole. Called with the lock held.
  void Replace(Files files);

  mutable std::mutex mutex_;
  std::shared_ptr<const Files> files_ = std::make_shared<const Files>();
};

}  // namespace cals
