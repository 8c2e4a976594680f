#include "tests/tools/g4_decoder.h"

#include <map>
#include <string_view>

#include "tools/make_samples/run_length_codes.h"

namespace samples_test {
namespace {

using samples::Colour;

class BitReader {
 public:
  explicit BitReader(const std::vector<std::uint8_t>& data) : data_(data) {}
  std::optional<int> Next() {
    if (pos_ >= data_.size() * 8) return std::nullopt;
    const int bit = (data_[pos_ / 8] >> (7 - pos_ % 8)) & 1;
    ++pos_;
    return bit;
  }

 private:
  const std::vector<std::uint8_t>& data_;
  std::size_t pos_ = 0;
};

// Code word text -> run length, built from the coder's own tables; the
// tests also check these tables against known words.
std::map<std::string, int> RunTable(Colour colour) {
  std::map<std::string, int> table;
  for (int run = 0; run < 64; ++run) table[std::string(samples::TerminatingCode(colour, run))] = run;
  for (int run = 64; run <= 2560; run += 64) table[std::string(samples::MakeUpCode(colour, run))] = run;
  return table;
}

std::optional<int> ReadRun(BitReader& in, Colour colour) {
  static const std::map<std::string, int> white = RunTable(Colour::kWhite);
  static const std::map<std::string, int> black = RunTable(Colour::kBlack);
  const auto& table = colour == Colour::kWhite ? white : black;
  int total = 0;
  std::string code;
  while (code.size() < 14) {
    const auto bit = in.Next();
    if (!bit) return std::nullopt;
    code.push_back(*bit ? '1' : '0');
    const auto found = table.find(code);
    if (found == table.end()) continue;
    total += found->second;
    if (found->second < 64) return total;
    code.clear();
  }
  return std::nullopt;
}

int ColourAt(const std::vector<std::uint8_t>& row, int x) { return x < 0 ? 0 : row[static_cast<std::size_t>(x)]; }

int NextChange(const std::vector<std::uint8_t>& row, int start) {
  const int width = static_cast<int>(row.size());
  for (int x = start + 1; x < width; ++x) {
    if (ColourAt(row, x) != ColourAt(row, x - 1)) return x;
  }
  return width;
}

int FindB1(const std::vector<std::uint8_t>& ref, int a0, int colour) {
  int x = NextChange(ref, a0);
  while (x < static_cast<int>(ref.size()) && ColourAt(ref, x) == colour) x = NextChange(ref, x);
  return x;
}

void Paint(std::vector<std::uint8_t>& row, int from, int to, int colour) {
  for (int x = from < 0 ? 0 : from; x < to && x < static_cast<int>(row.size()); ++x) {
    row[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(colour);
  }
}

}  // namespace

std::optional<DecodedPicture> DecodeGroup4(const std::vector<std::uint8_t>& data, int width, int height,
                                           std::string& error) {
  BitReader in(data);
  DecodedPicture picture;
  std::vector<std::uint8_t> reference(static_cast<std::size_t>(width), 0);
  for (int y = 0; y < height; ++y) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width), 0);
    int a0 = -1;
    int colour = 0;
    while (a0 < width) {
      const int b1 = FindB1(reference, a0, colour);
      const int b2 = NextChange(reference, b1);
      std::string mode;
      while (true) {
        const auto bit = in.Next();
        if (!bit) {
          error = "data ends inside row " + std::to_string(y);
          return std::nullopt;
        }
        mode.push_back(*bit ? '1' : '0');
        static const std::map<std::string, int> kVertical = {{"1", 0},       {"011", 1},    {"000011", 2},
                                                             {"0000011", 3}, {"010", -1},   {"000010", -2},
                                                             {"0000010", -3}};
        if (mode == "0001") {  // pass
          Paint(row, a0, b2, colour);
          a0 = b2;
          break;
        }
        if (mode == "001") {  // horizontal
          const Colour first = colour == 0 ? Colour::kWhite : Colour::kBlack;
          const Colour second = colour == 0 ? Colour::kBlack : Colour::kWhite;
          const auto run1 = ReadRun(in, first);
          const auto run2 = run1 ? ReadRun(in, second) : std::nullopt;
          if (!run2) {
            error = "bad run length in row " + std::to_string(y);
            return std::nullopt;
          }
          const int start = a0 < 0 ? 0 : a0;
          const int a1 = start + *run1;
          const int a2 = a1 + *run2;
          if (a2 > width) {
            error = "runs past the end of row " + std::to_string(y);
            return std::nullopt;
          }
          Paint(row, start, a1, colour);
          Paint(row, a1, a2, 1 - colour);
          a0 = a2;
          break;
        }
        if (const auto v = kVertical.find(mode); v != kVertical.end()) {
          const int a1 = b1 + v->second;
          if (a1 < 0 || a1 > width || a1 < a0) {
            error = "vertical code leaves row " + std::to_string(y);
            return std::nullopt;
          }
          Paint(row, a0, a1, colour);
          a0 = a1;
          colour = 1 - colour;
          break;
        }
        if (mode.size() >= 7) {
          error = "unknown mode code " + mode + " in row " + std::to_string(y);
          return std::nullopt;
        }
      }
    }
    picture.rows.push_back(row);
    reference = row;
  }
  std::string tail;
  for (int i = 0; i < 24; ++i) {
    const auto bit = in.Next();
    if (!bit) break;
    tail.push_back(*bit ? '1' : '0');
  }
  picture.sawEofb = tail == "000000000001000000000001";
  return picture;
}

}  // namespace samples_test
