// Output of calsvar: UTF-8 lines on stdout (results) and stderr (notes and
// errors), and a progress line on stderr that is shown only on a terminal.
#pragma once

#include <windows.h>

#include <string_view>

namespace calsvar {

class Console {
 public:
  Console();

  void Out(std::string_view utf8Line);
  // Text for stdout that brings its own line ends (CSV: CRLF).
  void Raw(std::string_view utf8Text);
  void Err(std::string_view utf8Line);
  // Replaces the progress line; an empty text clears it.
  void Progress(std::string_view utf8Text);

 private:
  void Write(HANDLE handle, bool isConsole, std::string_view utf8);

  HANDLE out_;
  HANDLE err_;
  bool outIsConsole_;
  bool errIsConsole_;
  std::size_t progressWidth_ = 0;  // characters of the progress line shown
};

}  // namespace calsvar
