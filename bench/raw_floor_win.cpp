// The floor under the plug-in's cost per file on Windows: what any reader
// of CALS headers pays in the same runtime. For each file: open it as the
// plug-in does (C runtime, binary read, share-deny-write), read 2048 bytes,
// close it.
//
//   raw_floor_win [--profile-reads N --ini PATH] FOLDER|@LIST|FILE
//
// --profile-reads N adds N private-profile reads per file against the INI
// file PATH, made the way a header load makes them: for each record of
// the file that has a colon, "Readonly" as a number, then "Tagnames" and
// "Tagpositions" as text into buffers of 32767 characters, cycling through
// the records until N reads are done. That separates the cost of reading
// the tag configuration, which the runtime decides, from the plug-in's own.
//
// Prints the number of files, bytes read and a checksum, so that no work
// can be left out.
#include <windows.h>
#include <share.h>
#include <stdio.h>

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "bench/corpus_files.h"

namespace {

constexpr std::size_t kHeaderSize = 2048;
constexpr std::size_t kRecordSize = 128;
constexpr std::size_t kParsedRecords = 11;
constexpr DWORD kProfileTextCapacity = 32767;

struct StreamCloser {
  void operator()(FILE* stream) const { fclose(stream); }
};

// The section names a load asks for: each record's name, up to its colon,
// trimmed and lower-cased.
std::vector<std::wstring> RecordSections(const unsigned char* header) {
  std::vector<std::wstring> sections;
  for (std::size_t record = 0; record < kParsedRecords; ++record) {
    const unsigned char* text = header + record * kRecordSize;
    std::size_t colon = 0;
    while (colon < kRecordSize && text[colon] != ':' && text[colon] != 0) ++colon;
    if (colon == kRecordSize || text[colon] != ':') continue;
    std::size_t begin = 0;
    std::size_t end = colon;
    while (begin < end && text[begin] <= ' ') ++begin;
    while (end > begin && text[end - 1] <= ' ') --end;
    std::wstring name;
    for (std::size_t i = begin; i < end; ++i) {
      const unsigned char c = text[i];
      name.push_back(static_cast<wchar_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    }
    sections.push_back(std::move(name));
  }
  return sections;
}

std::uint64_t ReadProfile(const std::vector<std::wstring>& sections, int reads, const std::wstring& ini,
                          std::vector<wchar_t>& buffer) {
  std::uint64_t sum = 0;
  if (sections.empty()) return sum;
  for (int done = 0; done < reads; ++done) {
    const std::wstring& section = sections[static_cast<std::size_t>(done / 3) % sections.size()];
    switch (done % 3) {
      case 0:
        sum += GetPrivateProfileIntW(section.c_str(), L"Readonly", 0, ini.c_str());
        break;
      case 1:
        sum += GetPrivateProfileStringW(section.c_str(), L"Tagnames", L"", buffer.data(), kProfileTextCapacity,
                                        ini.c_str());
        break;
      default:
        sum += GetPrivateProfileStringW(section.c_str(), L"Tagpositions", L"", buffer.data(), kProfileTextCapacity,
                                        ini.c_str());
        break;
    }
  }
  return sum;
}

int Usage() {
  fwprintf(stderr, L"usage: raw_floor_win [--profile-reads N --ini PATH] FOLDER|@LIST|FILE\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int profileReads = 0;
  std::wstring ini;
  std::wstring operand;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--profile-reads" && i + 1 < argc) {
      profileReads = _wtoi(argv[++i]);
    } else if (arg == L"--ini" && i + 1 < argc) {
      ini = argv[++i];
    } else if (operand.empty() && !arg.starts_with(L"--")) {
      operand = arg;
    } else {
      return Usage();
    }
  }
  if (operand.empty() || profileReads < 0 || (profileReads > 0 && ini.empty())) return Usage();

  try {
    std::vector<wchar_t> buffer(kProfileTextCapacity);
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t checksum = 0;
    for (const auto& path : bench::CorpusFiles(operand)) {
      unsigned char header[kHeaderSize];
      std::size_t got = 0;
      {
        const std::unique_ptr<FILE, StreamCloser> stream(_wfsopen(path.c_str(), L"rb", _SH_DENYWR));
        if (!stream) {
          fwprintf(stderr, L"raw_floor_win: %ls: cannot be opened\n", path.c_str());
          return 1;
        }
        got = fread(header, 1, kHeaderSize, stream.get());
      }
      ++files;
      bytes += got;
      for (std::size_t i = 0; i < got; ++i) checksum = checksum * 31 + header[i];
      if (profileReads > 0 && got == kHeaderSize) {
        checksum += ReadProfile(RecordSections(header), profileReads, ini, buffer);
      }
    }
    wprintf(L"files %llu bytes %llu checksum %llu\n", static_cast<unsigned long long>(files),
            static_cast<unsigned long long>(bytes), static_cast<unsigned long long>(checksum));
  } catch (const std::exception& error) {
    fprintf(stderr, "raw_floor_win: %s\n", error.what());
    return 1;
  }
  return 0;
}
