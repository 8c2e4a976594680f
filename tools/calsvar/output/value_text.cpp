#include "tools/calsvar/output/value_text.h"

#include <cstdio>

#include "cals/surrogates.h"
#include "cals/utf8.h"

namespace calsvar {
namespace {

// "\x1B": two hex digits, upper case, as hex dumps show bytes.
void AppendHexEscape(std::u16string& out, char16_t c) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  out += u"\\x";
  out += kDigits[(c >> 4) & 0xF];
  out += kDigits[c & 0xF];
}

}  // namespace

bool IsTerminalControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

std::string EscapedForLine(std::u16string_view text) {
  std::u16string escaped;
  escaped.reserve(text.size());
  for (char16_t c : text) {
    switch (c) {
      case u'\\': escaped += u"\\\\"; break;
      case u'\t': escaped += u"\\t"; break;
      case u'\r': escaped += u"\\r"; break;
      case u'\n': escaped += u"\\n"; break;
      default:
        if (IsTerminalControl(c)) {
          AppendHexEscape(escaped, c);
        } else {
          escaped += c;
        }
        break;
    }
  }
  return cals::ToUtf8(escaped);
}

std::string WithoutTerminalControls(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    // U+0080 to U+009F are C2 80 to C2 9F in UTF-8.
    const bool c1 = byte == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) <= 0x9F &&
                    static_cast<unsigned char>(utf8[i + 1]) >= 0x80;
    const unsigned code = c1 ? static_cast<unsigned char>(utf8[i + 1]) : byte;
    if ((byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F || c1) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", code);
      out += escape;
      if (c1) ++i;
    } else {
      out.push_back(utf8[i]);
    }
  }
  return out;
}

std::optional<std::size_t> FirstControlCharacter(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] < 0x20 || text[i] == 0x7F) return i;
  }
  return std::nullopt;
}

std::string CharacterForMessage(std::u16string_view text, std::size_t at) {
  const bool pair = cals::IsSurrogatePairAt(text, at);
  const char32_t code = pair ? cals::CombineSurrogates(text[at], text[at + 1]) : text[at];
  char number[16];
  std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(code));
  switch (code) {
    case U'\t': return std::string("a tab (") + number + ")";
    case U'\n': return std::string("a line feed (") + number + ")";
    case U'\r': return std::string("a carriage return (") + number + ")";
    case U' ': return std::string("a blank (") + number + ")";
    default: break;
  }
  if (code < 0x20 || code == 0x7F) return std::string("a control character (") + number + ")";
  if (!pair && (cals::IsHighSurrogate(text[at]) || cals::IsLowSurrogate(text[at]))) {
    return std::string("half of a surrogate pair (") + number + ")";
  }
  std::string shown;
  cals::AppendUtf8(shown, code);
  return "'" + shown + "' (" + number + ")";
}

std::string QuotedForMessage(std::u16string_view text) {
  std::string quoted = "\"";
  for (char c : EscapedForLine(text)) {
    if (c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace calsvar
