// The PNG writer's file structure read back here with zlib (every chunk's
// CRC, the header, the inflated rows); tests/tools/picture_files_test.py
// reads whole pictures back with Python's PNG readers.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "tools/calsvar/picture/png_writer.h"
#include "tools/calsvar/picture/run_deflater.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t BigEndian(const Bytes& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
         bytes[at + 3];
}

struct Png {
  std::vector<std::string> chunks;
  Bytes header;
  Bytes data;  // the IDAT chunks joined
};

Png ReadChunks(const Bytes& file) {
  Png png;
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  for (std::size_t at = 8; at + 12 <= file.size();) {
    const std::uint32_t length = BigEndian(file, at);
    const std::string type(file.begin() + static_cast<std::ptrdiff_t>(at + 4), file.begin() + static_cast<std::ptrdiff_t>(at + 8));
    EXPECT_EQ(crc32(0, &file[at + 4], length + 4), BigEndian(file, at + 8 + length)) << type;
    const Bytes body(file.begin() + static_cast<std::ptrdiff_t>(at + 8), file.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
    if (type == "IHDR") png.header = body;
    if (type == "IDAT") png.data.insert(png.data.end(), body.begin(), body.end());
    png.chunks.push_back(type);
    at += 12 + length;
  }
  return png;
}

TEST(PngWriter, WritesGreyAndBilevelPagesThatInflateToTheirRows) {
  struct Case {
    cals::picture::PelFormat format;
    std::int32_t width;
    std::vector<Bytes> rows;
    std::uint8_t depth;
    calsvar::picture::PngCompression compression;
  };
  const Case cases[] = {
      {cals::picture::PelFormat::kGrey, 3, {{0, 128, 255}, {7, 8, 9}}, 8, calsvar::picture::PngCompression::kSmall},
      {cals::picture::PelFormat::kBilevel, 10, {{0xA5, 0xC0}, {0x00, 0x40}, {0xFF, 0xC0}}, 1,
       calsvar::picture::PngCompression::kSmall},
      {cals::picture::PelFormat::kGrey, 4, {{255, 255, 255, 255}, {255, 255, 9, 255}}, 8,
       calsvar::picture::PngCompression::kFast},
  };
  for (const Case& c : cases) {
    calsvar::picture::MemorySink sink;
    calsvar::picture::PngWriter writer(sink, c.width, static_cast<std::int32_t>(c.rows.size()), c.format,
                                       c.compression);
    for (const Bytes& row : c.rows) ASSERT_TRUE(writer.WriteRow(row));
    ASSERT_TRUE(writer.Finish());
    const Png png = ReadChunks(sink.bytes());
    EXPECT_EQ(png.chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    ASSERT_EQ(png.header.size(), 13u);
    EXPECT_EQ(BigEndian(png.header, 0), static_cast<std::uint32_t>(c.width));
    EXPECT_EQ(BigEndian(png.header, 4), c.rows.size());
    EXPECT_EQ(Bytes(png.header.begin() + 8, png.header.end()), (Bytes{c.depth, 0, 0, 0, 0}));
    Bytes expected;
    for (const Bytes& row : c.rows) {
      expected.push_back(0);  // no filter
      expected.insert(expected.end(), row.begin(), row.end());
    }
    Bytes inflated(expected.size() + 16);
    uLongf size = static_cast<uLongf>(inflated.size());
    ASSERT_EQ(uncompress(inflated.data(), &size, png.data.data(), static_cast<uLong>(png.data.size())), Z_OK);
    inflated.resize(size);
    EXPECT_EQ(inflated, expected);
  }
}

TEST(PngWriter, RefusesAPageWithRowsMissing) {
  calsvar::picture::MemorySink sink;
  calsvar::picture::PngWriter writer(sink, 4, 2, cals::picture::PelFormat::kGrey);
  ASSERT_TRUE(writer.WriteRow(Bytes{1, 2, 3, 4}));
  EXPECT_FALSE(writer.Finish());
}

// Inflates what the run deflater made of `input`, put in pieces of the
// given sizes (the last piece takes the rest).
Bytes RunDeflated(const Bytes& input, std::size_t piece) {
  Bytes stream;
  calsvar::picture::RunDeflater deflater(stream);
  for (std::size_t at = 0; at < input.size(); at += piece) {
    deflater.Put(std::span(input).subspan(at, std::min(piece, input.size() - at)));
  }
  deflater.Finish();
  Bytes inflated(input.size() + 16);
  uLongf size = static_cast<uLongf>(inflated.size());
  EXPECT_EQ(uncompress(inflated.data(), &size, stream.data(), static_cast<uLong>(stream.size())), Z_OK);
  inflated.resize(size);
  return inflated;
}

TEST(RunDeflater, InflatesBackToWhatWasPut) {
  std::vector<std::pair<std::string, Bytes>> inputs = {{"nothing", {}}, {"one byte", {7}}};
  for (const std::size_t run : {2, 3, 4, 258, 259, 260, 261, 516, 300000}) {
    Bytes bytes(run, 255);
    bytes.push_back(0);
    bytes.insert(bytes.end(), run, 0);
    inputs.emplace_back("runs of " + std::to_string(run), bytes);
  }
  // Many blocks of literals; and one block whose literal counts (each the
  // two before it and one) make a plain Huffman tree 19 deep, deeper than
  // deflate allows.
  Bytes mixed;
  std::uint32_t state = 1;
  for (int i = 0; i < 300000; ++i) {
    state = state * 1103515245u + 12345u;
    mixed.push_back(static_cast<std::uint8_t>(state >> 24));
  }
  inputs.emplace_back("pseudo-random", mixed);
  Bytes skewed;  // the most frequent byte left next, never twice in a row
  std::vector<std::uint32_t> left = {1, 2};
  while (left.size() < 19) left.push_back(left[left.size() - 1] + left[left.size() - 2] + 1);
  for (int previous = -1;;) {
    int next = -1;
    for (int symbol = 0; symbol < static_cast<int>(left.size()); ++symbol) {
      if (symbol != previous && left[symbol] > 0 && (next < 0 || left[symbol] > left[next])) next = symbol;
    }
    if (next < 0) break;
    --left[next];
    skewed.push_back(static_cast<std::uint8_t>(next));
    previous = next;
  }
  inputs.emplace_back("skewed", skewed);
  for (const auto& [name, input] : inputs) {
    for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{1} << 20}) {
      EXPECT_EQ(RunDeflated(input, piece), input) << name << ", pieces of " << piece;
    }
  }
}

}  // namespace
