// Output of calsvar: UTF-8 lines on stdout (results) and stderr (notes and
// errors), and a progress line on stderr that is shown only on a terminal.
// Results going to a file or pipe are gathered and written in large pieces
// (a folder of thousands of files gives tens of thousands of lines); they
// are written out before anything goes to stderr, so the two streams keep
// their order when they share one file. Lines and the progress line never
// carry a control character to the terminal (value_text.h); Raw text, a
// table's exact bytes, is written as it is.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace calsvar {

class Console {
 public:
  Console();
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  void Out(std::string_view utf8Line);
  // Text for stdout that brings its own line ends (CSV: CRLF).
  void Raw(std::string_view utf8Text);
  void Err(std::string_view utf8Line);
  // Replaces the progress line; an empty text clears it.
  void Progress(std::string_view utf8Text);
  // "[3/250] NAME" as the progress line while a run goes through item
  // `index` (from 0) of `total`; only runs of more than 200 items show it,
  // since shorter ones end before a person would look.
  void ProgressStep(std::size_t index, std::size_t total, std::string_view utf8Name);

 private:
  void Write(HANDLE handle, bool isConsole, std::string_view utf8);
  void ToStdout(std::string_view utf8);
  void FlushStdout();

  HANDLE out_;
  HANDLE err_;
  bool outIsConsole_;
  bool errIsConsole_;
  std::size_t progressWidth_ = 0;  // characters of the progress line shown
  std::string pending_;            // for stdout, not yet written
};

}  // namespace calsvar
