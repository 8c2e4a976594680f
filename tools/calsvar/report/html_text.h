// Text put into a web page: escaped for HTML, file names made into URLs,
// bytes into a data URL.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace calsvar::report {

// For element text and quoted attribute values: & < > " ' as character
// references, and control characters as their visible pictures (U+2400 on),
// since header text may hold them and a page would show nothing.
std::string EscapeHtml(std::string_view utf8);

// A relative URL for a path with '/' between folders: every byte but
// letters, digits, - . _ ~ and / percent-encoded. A "data:" URL is left as
// it is.
std::string UrlOfPath(std::string_view path);

// "data:<type>;base64,..."
std::string DataUrl(std::string_view mediaType, std::span<const std::uint8_t> bytes);

}  // namespace calsvar::report
