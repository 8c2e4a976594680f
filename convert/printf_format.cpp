#include "convert/printf_format.h"

#include <stdexcept>

namespace {

// Widths and precisions beyond this are refused: no format of ours needs
// them, and a stray "%999999999d" must not turn into a huge allocation.
constexpr std::size_t kMaxFieldSize = 1024;

struct Directive {
  bool leftAlign = false;
  bool zeroPad = false;
  bool plusSign = false;
  bool spaceSign = false;
  std::size_t width = 0;
  bool hasPrecision = false;
  std::size_t precision = 0;
  char16_t conversion = 0;
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::size_t ReadNumber(std::u16string_view format, std::size_t& pos) {
  std::size_t value = 0;
  while (pos < format.size() && IsDigit(format[pos])) {
    value = value * 10 + static_cast<std::size_t>(format[pos] - u'0');
    if (value > kMaxFieldSize) throw std::invalid_argument("format field size too large");
    ++pos;
  }
  return value;
}

// Parses the directive that starts after a '%' at `pos`; leaves `pos` after
// its conversion character.
Directive ParseDirective(std::u16string_view format, std::size_t& pos) {
  Directive d;
  for (; pos < format.size(); ++pos) {
    const char16_t c = format[pos];
    if (c == u'-') d.leftAlign = true;
    else if (c == u'0') d.zeroPad = true;
    else if (c == u'+') d.plusSign = true;
    else if (c == u' ') d.spaceSign = true;
    else break;
  }
  d.width = ReadNumber(format, pos);
  if (pos < format.size() && format[pos] == u'.') {
    ++pos;
    d.hasPrecision = true;
    d.precision = ReadNumber(format, pos);
  }
  if (pos >= format.size()) throw std::invalid_argument("format ends inside a directive");
  d.conversion = format[pos++];
  return d;
}

void Pad(std::u16string& out, std::size_t count, char16_t fill) { out.append(count, fill); }

void AppendAligned(std::u16string& out, const Directive& d, std::u16string_view body) {
  const std::size_t padding = d.width > body.size() ? d.width - body.size() : 0;
  if (!d.leftAlign) Pad(out, padding, u' ');
  out.append(body);
  if (d.leftAlign) Pad(out, padding, u' ');
}

void AppendInteger(std::u16string& out, const Directive& d, long long value) {
  // The magnitude as unsigned, so that the most negative value has one too.
  const unsigned long long magnitude =
      value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);

  char16_t digits[24];
  std::size_t digitCount = 0;
  for (unsigned long long rest = magnitude; rest != 0; rest /= 10) {
    digits[digitCount++] = static_cast<char16_t>(u'0' + rest % 10);
  }
  // printf prints no digit for zero only under an explicit precision of 0.
  if (digitCount == 0 && !(d.hasPrecision && d.precision == 0)) digits[digitCount++] = u'0';

  std::u16string body;
  if (value < 0) body.push_back(u'-');
  else if (d.plusSign) body.push_back(u'+');
  else if (d.spaceSign) body.push_back(u' ');
  const std::size_t signLength = body.size();

  std::size_t leadingZeros = 0;
  if (d.hasPrecision) {
    if (d.precision > digitCount) leadingZeros = d.precision - digitCount;
  } else if (d.zeroPad && !d.leftAlign && d.width > signLength + digitCount) {
    // Zeros go between the sign and the digits: -1 under %04d is "-001".
    leadingZeros = d.width - signLength - digitCount;
  }
  Pad(body, leadingZeros, u'0');
  while (digitCount > 0) body.push_back(digits[--digitCount]);
  AppendAligned(out, d, body);
}

void AppendText(std::u16string& out, const Directive& d, std::u16string_view text) {
  if (d.hasPrecision && d.precision < text.size()) text = text.substr(0, d.precision);
  AppendAligned(out, d, text);
}

}  // namespace

std::u16string RenderPrintf(std::u16string_view format, std::span<const FormatArg> args) {
  std::u16string out;
  std::size_t nextArg = 0;
  std::size_t pos = 0;
  while (pos < format.size()) {
    const std::size_t percent = format.find(u'%', pos);
    if (percent == std::u16string_view::npos) {
      out.append(format.substr(pos));
      break;
    }
    out.append(format.substr(pos, percent - pos));
    pos = percent + 1;
    const Directive d = ParseDirective(format, pos);
    if (d.conversion == u'%') {
      out.push_back(u'%');
      continue;
    }
    const bool wantsText = d.conversion == u's';
    if (!wantsText && d.conversion != u'd' && d.conversion != u'i') {
      throw std::invalid_argument("unknown format conversion");
    }
    if (nextArg >= args.size()) throw std::invalid_argument("format needs more arguments");
    const FormatArg& arg = args[nextArg++];
    if (arg.isText() != wantsText) throw std::invalid_argument("format argument of the wrong kind");
    if (wantsText) AppendText(out, d, arg.text());
    else AppendInteger(out, d, arg.integer());
  }
  return out;
}
