// The portable core's whole cost per file, natively: each file is loaded
// into a tag model (open, one 2048-byte read, records parsed, the tag
// configuration asked for every record) and every variable the host would
// see is read by name, as the plug-in's GetVariables does.
//
//   core_driver --ini PATH FOLDER|@LIST|FILE
//
// The tag configuration is the INI file PATH held in memory and answered
// like the private-profile functions, through a configuration store as in
// the plug-in, so the figure is the core's own and not a platform's INI
// reading. Prints files, variables and a checksum of
// their texts, so that no work can be left out.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>

#include "bench/corpus_files.h"
#include "cals/cals_header.h"
#include "cals/cp1252_codec.h"
#include "cals/std_file_opener.h"
#include "cals/tag_config_store.h"
#include "tests/support/fixed_installation.h"
#include "tests/support/memory_tag_config.h"

namespace {

constexpr char16_t kSharedFolder[] = u"/installation/";
constexpr char16_t kIniPath[] = u"/installation/FileFormats\\Mirotex.ini";

std::u16string ReadIni(const char* path, const cals::TextCodec& codec) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(std::string(path) + ": cannot be read");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return codec.Decode(bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || std::string(argv[1]) != "--ini") {
    std::fprintf(stderr, "usage: core_driver --ini PATH FOLDER|@LIST|FILE\n");
    return 2;
  }
  try {
    cals::Cp1252Codec codec;
    cals::StdFileOpener files;
    testing_support::MemoryTagConfig config(kIniPath, ReadIni(argv[2], codec));
    // Like the plug-in's process: a store keeps the answers of the
    // configuration file, which was written long before.
    config.identity = cals::ConfigFileIdentity{true, true, 0x20, 1, 0, 0};
    config.now = 3600LL * 10'000'000;
    cals::TagConfigStore store;
    testing_support::FixedInstallation installation(kSharedFolder);
    const cals::HeaderPlatform platform{&codec, &files, &config, &installation, &store};

    std::uint64_t loaded = 0;
    std::uint64_t variables = 0;
    std::uint64_t checksum = 0;
    for (const auto& path : bench::CorpusFiles(argv[3])) {
      cals::CalsHeader header(platform);
      const cals::Status status = header.LoadHeader(path.u16string());
      if (!cals::Succeeded(status)) {
        std::fprintf(stderr, "core_driver: %s: load failed (0x%08X)\n", path.c_str(), static_cast<unsigned>(status));
        return 1;
      }
      ++loaded;
      std::u16string text;
      const auto read = [&](const std::u16string& name) {
        if (header.tagFinder.GetTagValue(name, text)) {
          ++variables;
          checksum = checksum * 31 + text.size() + (text.empty() ? 0 : text.back());
        }
      };
      for (const cals::Tag& tag : header.tagFinder.tags()) {
        read(tag.name);
        for (const cals::SubTag& subTag : tag.subTags) read(subTag.name);
      }
    }
    std::printf("files %llu variables %llu checksum %llu\n", static_cast<unsigned long long>(loaded),
                static_cast<unsigned long long>(variables), static_cast<unsigned long long>(checksum));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "core_driver: %s\n", error.what());
    return 1;
  }
  return 0;
}
