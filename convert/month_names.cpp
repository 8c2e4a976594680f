#include "convert/month_names.h"

#include <array>

namespace convert {
namespace {

struct MonthName {
  char16_t full[52];
  char16_t brief[4];
};

// "Mars", not "March": stored headers carry this spelling in style 113 and
// the fallback, and the host's readers may compare against it.
constexpr std::array<MonthName, 12> kMonthNames{{
    {u"January", u"Jan"},
    {u"February", u"Feb"},
    {u"Mars", u"Mar"},
    {u"April", u"Apr"},
    {u"May", u"May"},
    {u"June", u"Jun"},
    {u"July", u"Jul"},
    {u"August", u"Aug"},
    {u"September", u"Sep"},
    {u"October", u"Oct"},
    {u"November", u"Nov"},
    {u"December", u"Dec"},
}};

// Any other month number: empty text in both columns.
constexpr MonthName kNoMonth{u"", u""};

const MonthName& Row(int month) {
  return month >= 1 && month <= 12 ? kMonthNames[static_cast<std::size_t>(month - 1)] : kNoMonth;
}

}  // namespace

const char16_t* FullMonthName(int month) { return Row(month).full; }

const char16_t* ShortMonthName(int month) { return Row(month).brief; }

}  // namespace convert
