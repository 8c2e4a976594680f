#include "bench/corpus_files.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "tools/calsvar/files/extension_filter.h"

namespace bench {
namespace {

constexpr char16_t kCalsExtensions[] = u"cal,ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst";

std::vector<std::filesystem::path> ListedFiles(const std::filesystem::path& list) {
  std::ifstream in(list);
  if (!in) throw std::runtime_error(list.string() + ": cannot be read");
  std::vector<std::filesystem::path> files;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) files.emplace_back(line);
  }
  return files;
}

}  // namespace

std::vector<std::filesystem::path> CorpusFiles(const std::filesystem::path& operand) {
  const std::string text = operand.string();
  if (!text.empty() && text.front() == '@') return ListedFiles(text.substr(1));
  if (std::filesystem::is_regular_file(operand)) return {operand};
  if (!std::filesystem::is_directory(operand)) throw std::runtime_error(text + ": no such file or folder");
  const calsvar::ExtensionFilter filter(kCalsExtensions);
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(operand)) {
    if (entry.is_regular_file() && filter.Matches(entry.path().filename().u16string())) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace bench
