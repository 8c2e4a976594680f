// calsvar render: the page of one CALS file as a PNG picture, decoded with
// the check's own decoder and judged by the check in the same pass.
#include <windows.h>

#include <memory>

#include "cals/conformance/byte_source.h"
#include "cals/windows/windows_platform.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/files/file_arguments.h"
#include "tools/calsvar/files/file_reading.h"
#include "tools/calsvar/files/written_file.h"
#include "tools/calsvar/output/check_report.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/picture/png_page_sink.h"
#include "tools/calsvar/picture/render_to_png.h"

namespace calsvar {
namespace {

using cals::picture::RenderStatus;

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// FILE's name with .png for its extension ("drawing.cal" gives
// "drawing.png"), in `folder` when one is given, else beside FILE.
std::wstring DefaultPicture(const std::wstring& file, const std::wstring& folder) {
  const std::size_t nameStart = file.find_last_of(L"\\/:") + 1;  // npos + 1 is 0
  std::wstring name = file.substr(nameStart);
  const std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.erase(dot);
  name += L".png";
  if (folder.empty()) return file.substr(0, nameStart) + name;
  const wchar_t separator = SeparatorFor(folder);
  const bool ends = folder.back() == L'/' || folder.back() == L'\\';
  return folder + (ends ? std::wstring() : std::wstring(1, separator)) + name;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  const auto full = [](const std::wstring& path) {
    std::wstring buffer(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length >= buffer.size()) {
      buffer.resize(length);
      length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    }
    buffer.resize(length);
    return buffer;
  };
  const std::wstring fullA = full(a);
  const std::wstring fullB = full(b);
  return CompareStringOrdinal(fullA.c_str(), static_cast<int>(fullA.size()), fullB.c_str(),
                              static_cast<int>(fullB.size()), TRUE) == CSTR_EQUAL;
}

// What may stand where the picture goes: nothing yet, or a PNG picture
// (a rendering made before). Anything else, above all a CALS file, is
// someone's data that a wrong -o must not destroy.
bool MayReplace(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
  const cals::UniqueFile file = OpenForReading(path);
  std::string head;
  return file.get() != INVALID_HANDLE_VALUE && ReadUpTo(file.get(), head, 8) && head == "\x89PNG\r\n\x1a\n";
}

std::string SizeText(const cals::picture::RenderResult& render, bool scaled) {
  return std::to_string(render.width) + " x " + std::to_string(render.height) + " pels\t" +
         (scaled ? "grey" : "1 bit per pel");
}

}  // namespace

int RunRender(const Invocation& inv, Console& console) {
  const std::wstring input = ToWide(inv.files[0]);
  if (IsFolder(input)) {
    console.Err("calsvar: " + Utf8(input) + " is a folder: render takes one file ('calsvar report " + Utf8(input) +
                " -o DIR' shows a folder's files)");
    return kExitUsage;
  }
  const std::wstring given = inv.output ? ToWide(*inv.output) : std::wstring();
  const std::wstring output = given.empty() || IsFolder(given) ? DefaultPicture(input, given) : given;
  if (SamePath(input, output)) {
    console.Err("calsvar: " + Utf8(output) + " is the CALS file itself: give the picture another name with -o");
    return kExitUsage;
  }
  if (!MayReplace(output)) {
    console.Err("calsvar: " + Utf8(output) + " is there and is not a PNG picture; render replaces only a picture: "
                "give another name with -o");
    return kExitUsage;
  }
  const std::unique_ptr<cals::OpenFile> file = cals::WindowsHeaderPlatform().files->OpenForRead(ToUtf16(input));
  if (!file) {
    console.Err("calsvar: " + Utf8(input) + ": " + WhyUnreadable(input));
    return kExitLoadFailed;
  }

  const bool scaled = inv.width > 0;
  WrittenFile picture(output);
  const calsvar::picture::RenderedFile rendered = calsvar::picture::RenderToPng(*file, {inv.width, 0}, picture);
  const cals::picture::RenderResult& render = rendered.render;
  if (!render.note.empty()) console.Err("calsvar: " + Utf8(input) + ": " + render.note);
  // What the check says when the picture is not whole: its errors, as
  // calsvar check prints them.
  const bool whole = render.status == RenderStatus::kWhole;
  if (!whole) {
    for (const std::string& line : CheckLines(ToUtf16(input), rendered.check)) {
      if (line.find("\terror\t") != std::string::npos) console.Out(line);
    }
  }
  switch (render.status) {
    case RenderStatus::kNoPicture:
      console.Err("calsvar: " + Utf8(input) + ": no picture to render (the header gives no picture size)");
      return kExitRefused;
    case RenderStatus::kTooLarge:
      return kExitLoadFailed;
    case RenderStatus::kSinkFailed:
    case RenderStatus::kWhole:
    case RenderStatus::kCut:
      break;
  }
  const std::string written = rendered.written ? picture.Commit() : picture.error();
  if (!rendered.written || !written.empty()) {
    console.Err("calsvar: " + Utf8(output) + " " + (written.empty() ? "cannot be written" : written));
    return kExitLoadFailed;
  }
  console.Out(Utf8(output) + "\t" + SizeText(render, scaled));
  if (whole) return kExitOk;
  console.Err("calsvar: " + Utf8(input) + ": the raster decodes to line " + std::to_string(render.linesDecoded) +
              " of " + std::to_string(render.storedHeight) + " only; the rest of the picture is hatched");
  return kExitRefused;
}

}  // namespace calsvar
