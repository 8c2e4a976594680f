#include "com/registrar/script_expansion.h"

#include "com/registrar/ascii_text.h"

namespace registrar {

namespace {

const Replacement* Find(const Replacements& replacements, std::u16string_view name) {
  for (const Replacement& r : replacements) {
    if (EqualsIgnoringAsciiCase(r.name, name)) return &r;
  }
  return nullptr;
}

}  // namespace

Status ExpandReplacements(std::u16string_view text, const Replacements& replacements,
                          std::u16string* out) {
  out->clear();
  std::u16string result;
  result.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t open = text.find(u'%', pos);
    if (open == std::u16string_view::npos) {
      result.append(text.substr(pos));
      break;
    }
    result.append(text.substr(pos, open - pos));
    const std::size_t close = text.find(u'%', open + 1);
    if (close == std::u16string_view::npos) return kSyntaxError;
    const std::u16string_view name = text.substr(open + 1, close - open - 1);
    if (name.empty()) {
      result.push_back(u'%');
    } else {
      const Replacement* r = Find(replacements, name);
      if (r == nullptr) return kSyntaxError;
      result.append(r->value);
    }
    pos = close + 1;
  }
  *out = std::move(result);
  return kOk;
}

std::u16string DoubleSingleQuotes(std::u16string_view text) {
  std::u16string result;
  result.reserve(text.size());
  for (char16_t c : text) {
    result.push_back(c);
    if (c == u'\'') result.push_back(u'\'');
  }
  return result;
}

Replacements ModuleReplacements(std::u16string_view modulePath) {
  const std::u16string quoted = DoubleSingleQuotes(modulePath);
  return {{u"MODULE", quoted}, {u"Module_Raw", quoted}, {u"APPID", u""}};
}

}  // namespace registrar
