// What the plug-in finds on the machine besides its registration: the
// shared folder with its tag configuration, and the code pages of header
// text.
#include <windows.h>

#include <cstdio>

#include "cals/windows/settings_light.h"
#include "tools/calsvar/configuration/config_lint.h"
#include "tools/calsvar/configuration/installed_config.h"
#include "tools/calsvar/doctor/doctor_checks.h"
#include "tools/calsvar/doctor/registry_reading.h"
#include "tools/calsvar/output/hresult_text.h"
#include "tools/calsvar/output/shown_paths.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

// Every load of a CALS file reaches the shared folder once; slower than
// this, a person opening a folder of drawings feels it.
constexpr double kSlowReachMs = 50.0;

const std::string kValueName = "\"SharedLocation\"";

std::string SetValueAdvice() {
  return "set it to the host's shared installation folder: reg add \"HKLM\\" + Utf8(kProductKey) +
         "\" /v SharedLocation /t REG_SZ /d \"FOLDER\" /f /reg:64";
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// The value as the plug-in reads it; empty after an error was reported.
std::optional<std::wstring> CheckValue(DoctorReport& report) {
  const std::optional<RegistryValue> value =
      ReadRegistryValue(HKEY_LOCAL_MACHINE, kProductKey, kSharedLocationValue, RegistryView::k64Bit);
  const std::string where = "HKEY_LOCAL_MACHINE\\" + Utf8(kProductKey);
  if (!value) {
    const bool only32 =
        ReadRegistryValue(HKEY_LOCAL_MACHINE, kProductKey, kSharedLocationValue, RegistryView::k32Bit).has_value();
    report.Error(kValueName, (only32 ? "only in the 32-bit view (WOW6432Node) of " + where +
                                           ", which the 64-bit plug-in does not read"
                                     : "missing under " + where) +
                                 ": every CALS file fails to load (E_FAIL); " + SetValueAdvice());
    return std::nullopt;
  }
  if (value->type != REG_SZ && value->type != REG_EXPAND_SZ) {
    report.Error(kValueName, "of type " + RegistryTypeName(value->type) +
                                 ", but the plug-in reads REG_SZ or REG_EXPAND_SZ only: every CALS file fails to load "
                                 "(E_FAIL); " + SetValueAdvice());
    return std::nullopt;
  }
  if (value->text.empty()) {
    report.Error(kValueName, "empty: every CALS file fails to load (E_FAIL); " + SetValueAdvice());
    return std::nullopt;
  }
  const std::string shown = RegistryTypeName(value->type) + " \"" + Utf8(value->text) + "\"";
  if (value->type == REG_SZ) {
    if (value->text.find(L'%') != std::wstring::npos) {
      report.Warning(kValueName, shown + ": the plug-in does not expand environment variables in a REG_SZ value; "
                                         "store it as REG_EXPAND_SZ (reg add ... /t REG_EXPAND_SZ)");
    } else {
      report.Ok(kValueName, shown);
    }
    return value->text;
  }
  const std::wstring expanded = ExpandEnvironment(value->text);
  if (expanded.find(L'%') != std::wstring::npos) {
    report.Warning(kValueName, shown + ", expanded \"" + Utf8(expanded) +
                                   "\": a variable in it is not set here; set it for every user of the host");
  } else {
    report.Ok(kValueName, shown + ", expanded \"" + Utf8(expanded) + "\"");
  }
  return expanded;
}

// False after an error was reported.
bool CheckFolder(std::wstring folder, DoctorReport& report) {
  const std::string checked = "shared folder";
  if (folder.back() != L'\\') folder += L'\\';
  const DWORD first = GetFileAttributesW(folder.c_str());
  if (first == INVALID_FILE_ATTRIBUTES || (first & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    const std::string why = first == INVALID_FILE_ATTRIBUTES
                                ? "cannot be reached (" + DescribeHresult(HRESULT_FROM_WIN32(GetLastError())) + ")"
                                : "is a file, not a folder";
    report.Error(checked, "\"" + Utf8(folder) + "\" " + why +
                              ": the plug-in then finds no tag configuration, and every record becomes an ordinary "
                              "writable variable; correct " + kValueName + ", or make the folder reachable");
    return false;
  }
  // The first reach may set up a network connection, which the host pays
  // once; every load pays the next ones.
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  QueryPerformanceCounter(&start);
  GetFileAttributesW(folder.c_str());
  QueryPerformanceCounter(&end);
  const double ms = Milliseconds(start, end);
  const std::string found = "\"" + Utf8(folder) + "\" reached in " + OneDecimal(ms) + " ms";
  if (ms > kSlowReachMs) {
    report.Warning(checked, found + ", more than " + OneDecimal(kSlowReachMs) +
                                " ms: every load of a CALS file pays it; keep the shared folder on a faster "
                                "share, or closer to the host");
  } else {
    report.Ok(checked, found);
  }
  return true;
}

void CheckConfiguration(DoctorReport& report) {
  const std::wstring path = InstalledConfigPath();
  std::string error;
  bool missing = false;
  const auto doc = ReadProfileFile(path, error, missing);
  if (!doc && missing) {
    report.Warning("tag configuration file",
                   "\"" + Utf8(path) + "\" does not exist: every record is an ordinary writable variable, without "
                   "read-only records and sub-tags; copy FileFormats\\Mirotex.ini of the program folder there");
    return;
  }
  if (!doc) {
    report.Error("tag configuration file", error + ": make it readable for every user of the host");
    return;
  }
  report.Ok("tag configuration file", "\"" + Utf8(path) + "\", present and readable");

  const LintReport lint = LintTagConfiguration(*doc);
  const std::string found = std::to_string(lint.sectionsChecked) + " section(s) checked, " +
                            std::to_string(lint.FailingSections()) + " would make loads fail, " +
                            std::to_string(lint.Warnings()) + " warning(s)";
  const std::string advice = ": run '" + CalsvarCommand("check-config") + "' for each line and reason";
  if (lint.FailingSections() > 0) {
    report.Error("tag configuration", found + advice);
  } else if (lint.Warnings() > 0) {
    report.Warning("tag configuration", found + advice);
  } else {
    report.Ok("tag configuration", found);
  }
}

std::string CodePageName(UINT which) {
  CPINFOEXW info{};
  if (!GetCPInfoExW(which, 0, &info)) return "unknown";
  std::wstring name = info.CodePageName;
  // The name repeats the number: "1252  (ANSI - Latin I)".
  const std::wstring number = std::to_wstring(info.CodePage);
  if (name.compare(0, number.size(), number) == 0) name.erase(0, number.size());
  while (!name.empty() && name.front() == L' ') name.erase(0, 1);
  if (name.empty()) return std::to_string(info.CodePage);
  return std::to_string(info.CodePage) + (name.front() == L'(' ? " " + Utf8(name) : " (" + Utf8(name) + ")");
}

UINT CodePageNumber(UINT which) {
  CPINFOEXW info{};
  return GetCPInfoExW(which, 0, &info) ? info.CodePage : 0;
}

}  // namespace

void CheckSharedLocation(DoctorReport& report) {
  const std::optional<std::wstring> folder = CheckValue(report);
  if (!folder || !CheckFolder(*folder, report)) return;
  CheckConfiguration(report);
}

void CheckCodePages(DoctorReport& report) {
  const std::string checked = "ANSI code pages";
  const UINT system = CodePageNumber(CP_ACP);
  const UINT thread = CodePageNumber(CP_THREAD_ACP);
  const std::string both = "the system's " + CodePageName(CP_ACP) + ", this thread's " + CodePageName(CP_THREAD_ACP);
  if (system == thread) {
    report.Ok(checked, both + ": header text is read and written in code page " + std::to_string(system) +
                           "; characters outside it are written as ?");
  } else {
    report.Warning(checked, both + ": the plug-in reads header text in the thread's code page and writes it in the "
                                   "system's " + std::to_string(system) +
                                   ", so characters outside ASCII change when a header is saved; make the "
                                   "language for non-Unicode programs the users' language");
  }
}

}  // namespace calsvar
