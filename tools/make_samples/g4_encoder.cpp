#include "tools/make_samples/g4_encoder.h"

#include <cstdlib>
#include <span>
#include <string_view>

#include "tools/make_samples/bit_writer.h"
#include "tools/make_samples/run_length_codes.h"

namespace samples {
namespace {

using Row = std::span<const std::uint8_t>;

// Colour of pixel x, with the imaginary white pixel left of the row.
int ColourAt(Row row, int x) { return x < 0 ? 0 : row[static_cast<std::size_t>(x)]; }

// The first changing element right of `start`: a pixel whose colour differs
// from the pixel before it; the row's width when there is none.
int NextChange(Row row, int start) {
  const int width = static_cast<int>(row.size());
  for (int x = start + 1; x < width; ++x) {
    if (ColourAt(row, x) != ColourAt(row, x - 1)) return x;
  }
  return width;
}

// b1: the first changing element of the reference row right of a0 whose
// colour is the opposite of a0's colour.
int FindB1(Row reference, int a0, int a0Colour) {
  const int width = static_cast<int>(reference.size());
  int x = NextChange(reference, a0);
  while (x < width && ColourAt(reference, x) == a0Colour) x = NextChange(reference, x);
  return x;
}

void PutCode(BitWriter& out, std::string_view code) {
  for (char bit : code) out.Put(bit == '1' ? 1u : 0u, 1);
}

void PutRun(BitWriter& out, Colour colour, int run) {
  for (std::string_view code : RunCodes(colour, run)) PutCode(out, code);
}

constexpr std::string_view kVertical[7] = {"0000010", "000010", "010", "1", "011", "000011", "0000011"};

void EncodeRow(BitWriter& out, Row coding, Row reference) {
  const int width = static_cast<int>(coding.size());
  int a0 = -1;
  int colour = 0;  // colour of a0: white
  while (a0 < width) {
    const int a1 = NextChange(coding, a0);
    const int b1 = FindB1(reference, a0, colour);
    const int b2 = NextChange(reference, b1);
    if (b2 < a1) {
      PutCode(out, "0001");  // pass mode
      a0 = b2;
    } else if (std::abs(a1 - b1) <= 3) {
      PutCode(out, kVertical[a1 - b1 + 3]);
      a0 = a1;
      colour = 1 - colour;
    } else {
      const int a2 = NextChange(coding, a1);
      const int start = a0 < 0 ? 0 : a0;
      const Colour first = colour == 0 ? Colour::kWhite : Colour::kBlack;
      const Colour second = colour == 0 ? Colour::kBlack : Colour::kWhite;
      PutCode(out, "001");  // horizontal mode
      PutRun(out, first, a1 - start);
      PutRun(out, second, a2 - a1);
      a0 = a2;
    }
  }
}

}  // namespace

std::vector<std::uint8_t> EncodeGroup4(const Bitmap& picture) {
  BitWriter out;
  const std::vector<std::uint8_t> white(static_cast<std::size_t>(picture.width()), 0);
  Row reference(white);
  for (int y = 0; y < picture.height(); ++y) {
    const Row coding = picture.Row(y);
    EncodeRow(out, coding, reference);
    reference = coding;
  }
  // EOFB: two EOL code words.
  PutCode(out, "000000000001");
  PutCode(out, "000000000001");
  return out.Finish();
}

}  // namespace samples
