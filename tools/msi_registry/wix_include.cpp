#include "tools/msi_registry/wix_include.h"

#include <algorithm>
#include <cctype>

namespace msi_registry {

namespace {

// Keys and values of the Registry table are formatted text: in a text that
// holds a bracket, brackets and braces are written as [\x] so that none
// reads as a property or a conditional group. A GUID in braces alone stays
// as it is.
std::string Formatted(const std::string& text) {
  if (text.find_first_of("[]") == std::string::npos) return text;
  std::string out;
  for (char c : text) {
    if (c == '[' || c == ']' || c == '{' || c == '}') {
      out += std::string("[\\") + c + "]";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string Xml(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::string WithPlaceholders(const std::string& text, const std::string& modulePath,
                             const std::string& moduleFolder) {
  std::string out;
  for (char c : text) {
    if (c == kModulePath) {
      out += modulePath;
    } else if (c == kModuleFolder) {
      out += moduleFolder;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

bool MergeRepeats(RegistryEntries* entries, std::string* error) {
  RegistryEntries merged;
  for (const RegistryEntry& entry : *entries) {
    // Key and value names are the registry's: without regard to case.
    const auto same = std::find_if(merged.begin(), merged.end(), [&](const RegistryEntry& other) {
      return other.root == entry.root && Lower(other.key) == Lower(entry.key) && Lower(other.name) == Lower(entry.name);
    });
    if (same == merged.end()) {
      merged.push_back(entry);
    } else if (same->text != entry.text) {
      *error = "two different texts for " + entry.root + "\\" + entry.key + " value \"" + entry.name + "\"";
      return false;
    }
  }
  *entries = std::move(merged);
  return true;
}

std::string WixInclude(const RegistryEntries& entries, const std::string& modulePath,
                       const std::string& moduleFolder) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<!-- Written by tools/msi_registry from the module's registry scripts and IDL file:\n"
      "     what registering mirotex.dll writes. Do not edit. -->\n"
      "<Include>\n";
  for (const RegistryEntry& e : entries) {
    out += "  <RegistryValue Root=\"" + e.root + "\" Key=\"" + Xml(Formatted(e.key)) + "\"";
    if (!e.name.empty()) out += " Name=\"" + Xml(Formatted(e.name)) + "\"";
    out += " Value=\"" + Xml(WithPlaceholders(Formatted(e.text), modulePath, moduleFolder)) + "\" Type=\"string\"/>\n";
  }
  out += "</Include>\n";
  return out;
}

}  // namespace msi_registry
