#include "cals/windows/win_ansi_text_codec.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "cals/surrogates.h"

namespace cals {
namespace {

std::string ToSystemAnsi(std::u16string_view units) {
  const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
  const int count = static_cast<int>(units.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, wide, count, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  const int written = WideCharToMultiByte(CP_ACP, 0, wide, count, bytes.data(), needed, nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(std::max(written, 0)));
  return bytes;
}

}  // namespace

std::u16string AnsiTextCodec::Decode(std::string_view bytes) const {
  // A header record is 128 bytes; the cap only keeps the int arguments of
  // the platform call in range.
  const int count = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
  if (count == 0) return {};
  const int needed = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), count, nullptr, 0);
  if (needed <= 0) return {};
  std::u16string text(static_cast<std::size_t>(needed), u'\0');
  const int written = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), count,
                                          reinterpret_cast<wchar_t*>(text.data()), needed);
  text.resize(static_cast<std::size_t>(std::max(written, 0)));
  return text;
}

std::string AnsiTextCodec::Encode(std::u16string_view text, std::size_t maxBytes) const {
  // Character by character, so that the cut falls where the bytes of the
  // last whole character end. ANSI code pages carry no shift state, so the
  // pieces joined are the same bytes as the whole text converted at once.
  std::string bytes;
  for (std::size_t at = 0; at < text.size();) {
    // A surrogate pair is one character, converted (and cut) as a whole.
    const std::size_t units = IsSurrogatePairAt(text, at) ? 2 : 1;
    const std::string character = ToSystemAnsi(text.substr(at, units));
    if (character.size() > maxBytes - bytes.size()) break;
    bytes += character;
    at += units;
  }
  return bytes;
}

}  // namespace cals
