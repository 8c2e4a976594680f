#include "cals/text_rules.h"

namespace cals {

bool IsWhiteSpace(char16_t c) {
  if (c == u' ' || (c >= u'\t' && c <= u'\r')) return true;
  if (c < 0x85) return false;
  return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::u16string_view TrimRight(std::u16string_view text) {
  std::size_t end = text.size();
  // Records are padded with blanks: skip those before the full test.
  while (end > 0 && text[end - 1] == u' ') --end;
  while (end > 0 && IsWhiteSpace(text[end - 1])) --end;
  return text.substr(0, end);
}

std::u16string_view Trim(std::u16string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && IsWhiteSpace(text[begin])) ++begin;
  return TrimRight(text.substr(begin));
}

char16_t ToLower(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
  // Latin-1: À..Þ without the multiplication sign.
  if (c >= 0xC0 && c <= 0xDE) return c == 0xD7 ? c : static_cast<char16_t>(c + 0x20);
  if (c < 0x100 || c > 0x17F) return c;
  // Latin Extended-A pairs upper/lower case as even/odd neighbours, with the
  // parity flipping twice and three letters that pair elsewhere.
  if (c == 0x130) return u'i';  // capital I with dot above
  if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;  // no upper/lower pair
  if (c == 0x178) return 0xFF;  // capital Y with diaeresis pairs with Latin-1 ÿ
  const bool upperIsOdd = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  const bool isOdd = (c & 1) != 0;
  return isOdd == upperIsOdd ? static_cast<char16_t>(c + 1) : c;
}

std::u16string ToLower(std::u16string_view text) {
  std::u16string lower(text);
  for (char16_t& c : lower) c = ToLower(c);
  return lower;
}

bool LowersTo(std::u16string_view text, std::u16string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // ASCII, nearly every name, without the call.
    const char16_t lowered = c < 0x80 ? ((c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c) : ToLower(c);
    if (lowered != lower[i]) return false;
  }
  return true;
}

}  // namespace cals
