#include "tools/msi_registry/idl_entries.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <regex>
#include <vector>

namespace msi_registry {

namespace {

struct Interface {
  std::string name;
  std::string iid;
  int methods = 0;
};

std::string WithoutComments(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "//") == 0) {
      i = std::min(text.find('\n', i), text.size()) - 1;
    } else if (text.compare(i, 2, "/*") == 0) {
      const std::size_t end = text.find("*/", i + 2);
      i = end == std::string_view::npos ? text.size() : end + 1;
      out.push_back(' ');
    } else if (text[i] == '"') {  // a string may hold // or /*
      const std::size_t end = text.find('"', i + 1);
      const std::size_t stop = end == std::string_view::npos ? text.size() : end + 1;
      out.append(text.substr(i, stop - i));
      i = stop - 1;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// The argument of attribute `name` in an attribute list, if present.
bool Attribute(const std::string& attributes, const std::string& name, std::string* argument = nullptr) {
  const std::regex pattern("(^|[\\s,])" + name + "\\s*(\\(\\s*(\"(?:[^\"\\\\]|\\\\.)*\"|[^)]*?)\\s*\\))?\\s*(,|$)");
  std::smatch match;
  if (!std::regex_search(attributes, match, pattern)) return false;
  if (argument != nullptr) *argument = match[3].str();
  return true;
}

std::string Guid(const std::string& attributes) {
  std::string uuid;
  if (!Attribute(attributes, "uuid", &uuid) || !std::regex_match(uuid, std::regex("[0-9A-Fa-f]{8}(-[0-9A-Fa-f]{4}){3}-[0-9A-Fa-f]{12}"))) {
    return {};
  }
  std::transform(uuid.begin(), uuid.end(), uuid.begin(), [](unsigned char c) { return std::toupper(c); });
  return "{" + uuid + "}";
}

// Each declaration at the top level of an interface's body is a method.
int Declarations(std::string_view body) {
  int count = 0;
  int depth = 0;
  for (char c : body) {
    if (c == '{' || c == '(') ++depth;
    if (c == '}' || c == ')') --depth;
    if (c == ';' && depth == 0) ++count;
  }
  return count;
}

std::string Hex(unsigned long number) {
  char text[16];
  std::snprintf(text, sizeof text, "%lx", number);
  return text;
}

// The attribute list before a keyword: brackets may appear inside strings.
const char kAttributes[] = "\\[((?:[^\\]\"]|\"(?:[^\"\\\\]|\\\\.)*\")*)\\]\\s*";

bool ReadInterfaces(const std::string& idl, std::vector<Interface>* interfaces, std::string* error) {
  std::map<std::string, int> methods = {{"IUnknown", 3}};
  const std::regex pattern(std::string(kAttributes) + "interface\\s+(\\w+)\\s*:\\s*(\\w+)\\s*\\{");
  for (auto it = std::sregex_iterator(idl.begin(), idl.end(), pattern); it != std::sregex_iterator(); ++it) {
    const std::smatch& match = *it;
    const std::string attributes = match[1].str();
    const std::string name = match[2].str();
    const std::string base = match[3].str();
    if (Attribute(attributes, "dual") || Attribute(attributes, "oleautomation")) {
      *error = "interface " + name + " is dual or oleautomation; its keys would come from the type library";
      return false;
    }
    if (!methods.contains(base)) {
      *error = "interface " + name + " derives from " + base + ", whose method count is not known here";
      return false;
    }
    const std::size_t open = static_cast<std::size_t>(match.position(0) + match.length(0));
    std::size_t close = open;
    for (int depth = 1; depth > 0; ++close) {
      if (close == idl.size()) {
        *error = "interface " + name + " has no closing brace";
        return false;
      }
      if (idl[close] == '{') ++depth;
      if (idl[close] == '}') --depth;
    }
    const int count = methods[base] + Declarations(std::string_view(idl).substr(open, close - 1 - open));
    methods[name] = count;
    const std::string iid = Guid(attributes);
    if (iid.empty()) {
      *error = "interface " + name + " has no uuid";
      return false;
    }
    // Local interfaces have no proxy.
    if (Attribute(attributes, "object") && !Attribute(attributes, "local")) {
      interfaces->push_back({name, iid, count});
    }
  }
  return true;
}

}  // namespace

bool AppendIdlEntries(std::string_view text, RegistryEntries* entries, std::string* error) {
  const std::string idl = WithoutComments(text);
  std::vector<Interface> interfaces;
  if (!ReadInterfaces(idl, &interfaces, error)) return false;

  // NdrDllRegisterProxy: each interface names the proxy/stub's class, whose
  // CLSID is the IID of the first interface (module/proxy_stub.c).
  if (!interfaces.empty()) {
    const std::string proxyStub = interfaces.front().iid;
    for (const Interface& i : interfaces) {
      const std::string key = "Interface\\" + i.iid;
      entries->push_back({"HKCR", key, "", i.name});
      entries->push_back({"HKCR", key + "\\NumMethods", "", std::to_string(i.methods)});
      entries->push_back({"HKCR", key + "\\ProxyStubClsid32", "", proxyStub});
    }
    const std::string key = "CLSID\\" + proxyStub;
    entries->push_back({"HKCR", key, "", "PSFactoryBuffer"});
    entries->push_back({"HKCR", key + "\\InProcServer32", "", std::string(1, kModulePath)});
    entries->push_back({"HKCR", key + "\\InProcServer32", "ThreadingModel", "Both"});
  }

  // RegisterTypeLib, for a library loaded from the DLL: version and locale
  // in hexadecimal; the flags as the library declares them, with 8 (the
  // library has a disk image) added as the platform does; HELPDIR as the
  // DLL gives it (its folder).
  std::smatch library;
  if (!std::regex_search(idl, library, std::regex(std::string(kAttributes) + "library\\s+(\\w+)"))) return true;
  const std::string attributes = library[1].str();
  const std::string libid = Guid(attributes);
  std::string helpstring;
  std::string version = "1.0";
  std::string lcid = "0";
  if (libid.empty() || !Attribute(attributes, "helpstring", &helpstring) || helpstring.size() < 2) {
    *error = "library " + library[2].str() + " needs a uuid and a helpstring";
    return false;
  }
  Attribute(attributes, "version", &version);
  Attribute(attributes, "lcid", &lcid);
  std::smatch numbers;
  if (!std::regex_match(version, numbers, std::regex("(\\d+)(?:\\.(\\d+))?"))) {
    *error = "library version \"" + version + "\" is not MAJOR.MINOR";
    return false;
  }
  const std::string key = "TypeLib\\" + libid + "\\" + Hex(std::stoul(numbers[1].str())) + "." +
                          Hex(numbers[2].matched ? std::stoul(numbers[2].str()) : 0);
  unsigned flags = 8;
  if (Attribute(attributes, "restricted")) flags |= 1;
  if (Attribute(attributes, "control")) flags |= 2;
  if (Attribute(attributes, "hidden")) flags |= 4;
  entries->push_back({"HKCR", key, "", helpstring.substr(1, helpstring.size() - 2)});
  entries->push_back({"HKCR", key + "\\" + Hex(std::stoul(lcid, nullptr, 0)) + "\\win64", "", std::string(1, kModulePath)});
  entries->push_back({"HKCR", key + "\\FLAGS", "", std::to_string(flags)});
  entries->push_back({"HKCR", key + "\\HELPDIR", "", std::string(1, kModuleFolder)});
  return true;
}

}  // namespace msi_registry
