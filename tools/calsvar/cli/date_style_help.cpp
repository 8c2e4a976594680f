#include "tools/calsvar/cli/date_style_help.h"

#include <array>

#include "cals/utf8.h"
#include "convert/format_date.h"

namespace calsvar {
namespace {

struct ListedStyle {
  std::int32_t code;
  std::int32_t sameAs;  // 100 renders as 0; -1 otherwise
  const char* pattern;
};

constexpr std::array<ListedStyle, 25> kListed{{
    {0, 100, "Mon DD YYYY hh:mm AM"},
    {1, -1, "MM/DD/YY"},
    {2, -1, "YY.MM.DD"},
    {3, -1, "DD/MM/YY"},
    {4, -1, "DD.MM.YY"},
    {5, -1, "DD-MM-YY"},
    {6, -1, "DD Mon YY"},
    {7, -1, "Mon DD, YY"},
    {10, -1, "MM-DD-YY"},
    {11, -1, "YY/MM/DD"},
    {12, -1, "YYMMDD"},
    {101, -1, "MM/DD/YYYY"},
    {102, -1, "YYYY.MM.DD"},
    {103, -1, "DD/MM/YYYY"},
    {104, -1, "DD.MM.YYYY"},
    {105, -1, "DD-MM-YYYY"},
    {106, -1, "DD Mon YYYY"},
    {107, -1, "Mon DD, YYYY"},
    {109, -1, "Mon DD YYYY hh:mm:ss:000 AM"},
    {110, -1, "MM-DD-YYYY"},
    {111, -1, "YYYY/MM/DD"},
    {112, -1, "YYYYMMDD"},
    {113, -1, "DD Month YYYY HH:mm:ss:000"},
    {120, -1, "YYYY-MM-DD"},
    {121, -1, "YYYY-MM-DD HH:mm:ss.000"},
}};

// 5 March 2024 13:52:30 and the same day at noon, as automation dates.
constexpr double kExample = 45356.578125;
constexpr double kNoon = 45356.5;

std::string Rendered(double date, std::int32_t code) {
  Str text(nullptr);
  convert::FormatDate(text, date, code);
  return cals::ToUtf8(text.text());
}

std::string PaddedTo(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

}  // namespace

bool IsListedDateStyle(std::int32_t code) {
  for (const ListedStyle& style : kListed) {
    if (style.code == code || (style.sameAs >= 0 && style.sameAs == code)) return true;
  }
  return false;
}

std::string DateStyleHelp() {
  std::string help = "date styles of --date-style N, for NAME@date=... (default 0); 5 March 2024 13:52:30 gives:\n";
  for (const ListedStyle& style : kListed) {
    std::string codes = std::to_string(style.code);
    if (style.sameAs >= 0) codes += ", " + std::to_string(style.sameAs);
    help += "  " + PaddedTo(codes, 8) + PaddedTo(style.pattern, 29) + Rendered(kExample, style.code) + "\n";
  }
  help += "  Kept as the plug-in has always written them, because stored headers and the host's searches\n"
          "  rely on them: month 3 is \"Mars\" in style 113; hours 0 to 12 are AM, so noon is \"" +
          Rendered(kNoon, 0) +
          "\"\n  in style 0; and the plug-in renders every number not listed as style 113 (calsvar accepts\n"
          "  only the numbers listed). Dates from the year 100 to 9999 can be given.\n";
  return help;
}

}  // namespace calsvar
