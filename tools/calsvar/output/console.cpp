#include "tools/calsvar/output/console.h"

#include <string>

#include "tools/calsvar/output/value_text.h"

namespace calsvar {
namespace {

constexpr std::size_t kStdoutPiece = 64 * 1024;

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode);
}

}  // namespace

Console::Console()
    : out_(GetStdHandle(STD_OUTPUT_HANDLE)),
      err_(GetStdHandle(STD_ERROR_HANDLE)),
      outIsConsole_(IsConsole(out_)),
      errIsConsole_(IsConsole(err_)) {}

Console::~Console() { FlushStdout(); }

void Console::Write(HANDLE handle, bool isConsole, std::string_view utf8) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || utf8.empty()) return;
  if (isConsole) {
    // A console shows UTF-16 whatever its code page.
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  // A pipe may take less than it was given.
  while (!utf8.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) || written == 0) return;
    utf8.remove_prefix(written);
  }
}

void Console::ToStdout(std::string_view utf8) {
  if (outIsConsole_) {
    // Results on the terminal replace the progress line and show at once.
    Progress({});
    Write(out_, true, utf8);
    return;
  }
  pending_ += utf8;
  if (pending_.size() >= kStdoutPiece) FlushStdout();
}

void Console::FlushStdout() {
  if (pending_.empty()) return;
  Write(out_, false, pending_);
  pending_.clear();
}

void Console::Out(std::string_view utf8Line) {
  std::string line = WithoutTerminalControls(utf8Line);
  line += '\n';
  ToStdout(line);
}

void Console::Raw(std::string_view utf8Text) { ToStdout(utf8Text); }

void Console::Err(std::string_view utf8Line) {
  FlushStdout();
  Progress({});
  Write(err_, errIsConsole_, WithoutTerminalControls(utf8Line) + "\n");
}

void Console::Progress(std::string_view utf8Text) {
  // Only a terminal shows progress; results held back for a file or pipe
  // go elsewhere, so they need not be written out first.
  if (!errIsConsole_) return;
  if (progressWidth_ > 0) Write(err_, true, "\r" + std::string(progressWidth_, ' ') + "\r");
  const std::string shown = WithoutTerminalControls(utf8Text);
  progressWidth_ = shown.size();
  if (progressWidth_ > 0) Write(err_, true, shown);
}

void Console::ProgressStep(std::size_t index, std::size_t total, std::string_view utf8Name) {
  if (total <= 200) return;
  Progress("[" + std::to_string(index + 1) + "/" + std::to_string(total) + "] " + std::string(utf8Name));
}

}  // namespace calsvar
