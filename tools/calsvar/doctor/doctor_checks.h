// The checks of calsvar doctor, in the order they run: each adds its
// results to the report. They change nothing outside one temporary copy
// of a sample that calsvar carries inside itself.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "tools/calsvar/doctor/doctor_report.h"
#include "tools/calsvar/doctor/expected_registration.h"

namespace calsvar {

struct DoctorSetup {
  std::vector<ExpectedClass> classes;  // what the DLL registers
  std::wstring intendedDll;            // --dll, or mirotex.dll beside calsvar.exe
  bool dllNamed = false;               // given with --dll
};

// Each class in the 64-bit view: its key, its in-process server (a 64-bit
// DLL with the COM entry points), its threading model, its ProgIDs; then
// whether the registered DLL is the intended one.
void CheckRegistration(const DoctorSetup& setup, DoctorReport& report);

// The type library and the proxy/stub class of each of the module's
// interfaces.
void CheckTypeLibraryAndProxies(const DoctorSetup& setup, DoctorReport& report);

// The classes created through COM as the host creates them, the format's
// description, and the registered DLL's version against calsvar's.
void CheckPluginAnswers(const DoctorSetup& setup, DoctorReport& report);

// "SharedLocation", the folder it names and how long one reach takes, the
// tag configuration file and what check-config makes of it.
void CheckSharedLocation(DoctorReport& report);

// Load, read, change notes, save, load again and compare, on a temporary
// copy of the embedded sample, through the registered plug-in.
void CheckRoundTrip(DoctorReport& report);

// The ANSI code pages header text is read and written in.
void CheckCodePages(DoctorReport& report);

// "regsvr32 /s "DLL"" and where to run it, for the fixes.
std::string RegisterAdvice(const DoctorSetup& setup);

namespace embedded {
// The sample of the round trip (samples/blank-page.cal), written into
// calsvar at build time (cmake/EmbedFiles.cmake).
extern const std::span<const unsigned char> kRoundTripSample;
}  // namespace embedded

}  // namespace calsvar
