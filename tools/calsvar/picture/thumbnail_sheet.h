// Many thumbnails in one PNG picture: a column of square cells, one per
// file in file order, each thumbnail in its cell's top left corner on
// white. A web page shows a cell by its offset. Creating a file costs more
// than checking a CALS file does (about a millisecond here, more on a file
// share), so a report over thousands of files writes its thumbnails a
// sheet at a time rather than one file each.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "cals/picture/page_sink.h"
#include "tools/calsvar/picture/byte_sink.h"
#include "tools/calsvar/picture/png_writer.h"

namespace calsvar::picture {

class ThumbnailSheet {
 public:
  // `cells` cells of `cell` x `cell` grey pels, into `out`.
  ThumbnailSheet(ByteSink& out, std::int32_t cell, std::int32_t cells);

  // The next cell, as a page sink that takes a grey page of at most
  // cell x cell pels (a larger one is refused: its rows return false).
  cals::picture::PageSink& NextCell();
  // Fills the rest of the cell with white, all of it when nothing was
  // drawn. False once a write failed.
  bool EndCell();
  // After the last cell. False when a write failed or cells are missing.
  bool Finish();

 private:
  class Cell final : public cals::picture::PageSink {
   public:
    explicit Cell(ThumbnailSheet& sheet) : sheet_(sheet) {}
    void Start(std::int32_t width, std::int32_t height, cals::picture::PelFormat format) override;
    bool Row(std::span<const std::uint8_t> row) override;

   private:
    ThumbnailSheet& sheet_;
  };

  bool WriteRow(std::span<const std::uint8_t> pels);  // up to a cell's width; white after

  std::int32_t cell_;
  PngWriter png_;
  Cell page_;
  std::vector<std::uint8_t> row_;
  std::int32_t rowsInCell_ = 0;
  bool fits_ = true;  // the page started in this cell fits it
  bool ok_ = true;
};

}  // namespace calsvar::picture
