#include "tools/make_samples/corpus_headers.h"

#include <array>
#include <cstdio>
#include <string_view>


namespace samples {
namespace {

// splitmix64: a tiny generator whose output is fixed by its seed on every
// platform, unlike the distributions of <random>.
class Draw {
 public:
  explicit Draw(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E5ull) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 to bound - 1.
  int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }
  bool Percent(int chance) { return Below(100) < chance; }
  template <class T, std::size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[static_cast<std::size_t>(Below(static_cast<int>(N)))];
  }

 private:
  std::uint64_t state_;
};

std::string Number(int value, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*d", digits, value);
  return text;
}

constexpr std::array<std::string_view, 6> kDocumentKinds = {"DRW", "SCAN", "ECN", "PRT", "ASM", "SK"};
constexpr std::array<std::string_view, 8> kWords = {"Flange",  "Bracket", "Housing", "Shaft",
                                                    "Gasket",  "Cover",   "Pump",    "Valve body"};
constexpr std::array<std::string_view, 4> kOrientations = {"000,270", "090,180", "180,090", "270,000"};

std::string DocumentId(Draw& draw) {
  std::string id = std::string(draw.Pick(kDocumentKinds)) + "-" + Number(draw.Below(1000000), 4 + draw.Below(3));
  if (draw.Percent(60)) id += "-" + std::string(1, static_cast<char>('A' + draw.Below(6)));
  // Some archives keep the project path in the id: the longest values.
  if (draw.Percent(10)) id = "PROJ" + Number(draw.Below(100), 2) + "/PLANT-" + Number(draw.Below(10000), 4) + "/" + id;
  return id;
}

std::string NoneOr(Draw& draw, int chance, const std::string& value) { return draw.Percent(chance) ? value : "NONE"; }

std::string Notes(Draw& draw) {
  switch (draw.Below(4)) {
    case 0:
      return "";
    case 1:
      return std::string(draw.Pick(kWords));
    case 2:
      return std::string(draw.Pick(kWords)) + " DN" + std::to_string(25 * (1 + draw.Below(12))) + ", sheet " +
             std::to_string(1 + draw.Below(3)) + " of 3";
    default: {
      // Up to the record's room: 128 bytes less "notes: ".
      std::string text = "Rev. " + std::string(1, static_cast<char>('A' + draw.Below(6))) + ":";
      while (text.size() < 100) text += " " + std::string(draw.Pick(kWords));
      return text.substr(0, 100 + static_cast<std::size_t>(draw.Below(21)));
    }
  }
}

}  // namespace

std::vector<std::string> CorpusRecords(std::uint64_t index, const CorpusPicture& picture) {
  Draw draw(index);
  const std::string docId = DocumentId(draw);
  std::vector<std::string> records = {
      "srcdocid: " + docId,
      "dstdocid: " + NoneOr(draw, 30, DocumentId(draw)),
      "txtfilid: " + NoneOr(draw, 20, "TXT-" + Number(draw.Below(100000), 5)),
      "figid: " + NoneOr(draw, 25, "FIG " + std::to_string(1 + draw.Below(40))),
      "srcgph: " + NoneOr(draw, 15, draw.Percent(50) ? "A4" : "A3"),
      "doccls: " + NoneOr(draw, 20, draw.Percent(50) ? "UNCLASSIFIED" : "COMPANY CONFIDENTIAL"),
      "rtype: 1",
      "rorient: " + std::string(draw.Percent(70) ? kOrientations[0] : draw.Pick(kOrientations)),
      "rpelcnt: " + Number(picture.width, 6) + "," + Number(picture.height, 6),
      "rdensty: " + Number(picture.dpi, 4),
      "notes: " + Notes(draw),
  };
  // A few writers use upper-case record names.
  if (draw.Percent(3)) {
    for (std::string& record : records) {
      for (char& c : record) {
        if (c == ':') break;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      }
    }
  }
  return records;
}

std::size_t CorpusPictureIndex(std::uint64_t index, std::size_t pictureCount) {
  Draw draw(index ^ 0x5A5A5A5Aull);
  return static_cast<std::size_t>(draw.Next() % pictureCount);
}

std::string CorpusFileName(std::uint64_t index) {
  constexpr std::array<std::string_view, 10> kExtensions = {"cal", "cal", "cal", "cal", "cal",
                                                            "cal", "cg4", "c4",  "ct1", "gp4"};
  Draw draw(index ^ 0xC0FFEEull);
  return std::string(draw.Pick(kDocumentKinds)) + "-" + Number(static_cast<int>(index), 6) + "." +
         std::string(draw.Pick(kExtensions));
}

}  // namespace samples
