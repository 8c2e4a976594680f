#include "tools/calsvar/report/html_text.h"

namespace calsvar::report {

std::string EscapeHtml(std::string_view utf8) {
  std::string html;
  html.reserve(utf8.size());
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&':
        html += "&amp;";
        break;
      case '<':
        html += "&lt;";
        break;
      case '>':
        html += "&gt;";
        break;
      case '"':
        html += "&quot;";
        break;
      case '\'':
        html += "&#39;";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          html += "&#" + std::to_string(byte == 0x7F ? 0x2421 : 0x2400 + byte) + ";";
        } else {
          html += c;
        }
    }
  }
  return html;
}

std::string UrlOfPath(std::string_view path) {
  if (path.starts_with("data:")) return std::string(path);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 0xF];
    }
  }
  return url;
}

std::string DataUrl(std::string_view mediaType, std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string url = "data:" + std::string(mediaType) + ";base64,";
  url.reserve(url.size() + (bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const std::uint32_t n = std::uint32_t{bytes[i]} << 16 | std::uint32_t{bytes[i + 1]} << 8 | bytes[i + 2];
    for (int shift = 18; shift >= 0; shift -= 6) url += kDigits[(n >> shift) & 63];
  }
  if (i < bytes.size()) {
    const bool two = i + 1 < bytes.size();
    const std::uint32_t n = std::uint32_t{bytes[i]} << 16 | (two ? std::uint32_t{bytes[i + 1]} << 8 : 0);
    url += kDigits[(n >> 18) & 63];
    url += kDigits[(n >> 12) & 63];
    url += two ? kDigits[(n >> 6) & 63] : '=';
    url += '=';
  }
  return url;
}

}  // namespace calsvar::report
