// calsvar doctor's portable parts: its output lines, what the DLL's own
// registry scripts say it registers, and the PE headers it reads from a
// DLL without loading it (also damaged ones: every offset comes from the
// file).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tools/calsvar/doctor/doctor_report.h"
#include "tools/calsvar/doctor/expected_registration.h"
#include "tools/calsvar/doctor/pe_image.h"

namespace {

using calsvar::ReadPeImage;

TEST(DoctorReport, LinesSummaryAndJson) {
  calsvar::DoctorReport report;
  report.Ok("type library", "found");
  report.Warning("plug-in version", "0.9.0\tand\r\n1.0.0");
  report.Error("\"SharedLocation\"", "missing");
  EXPECT_EQ(calsvar::ResultLine(report.results()[1]), "warning\tplug-in version\t0.9.0 and  1.0.0");
  EXPECT_EQ(calsvar::SummaryLine(report), "3 checks: 1 ok, 1 warnings, 1 errors");
  EXPECT_TRUE(report.HasErrors());
  const std::string json = calsvar::ReportJson(report);
  EXPECT_EQ(json.rfind("{\"checks\": [{\"status\": \"ok\", \"checked\": \"type library\", \"found\": \"found\"}", 0),
            0u);
  EXPECT_NE(json.find("\"summary\": {\"checks\": 3, \"ok\": 1, \"warnings\": 1, \"errors\": 1}}"), std::string::npos);
}

TEST(ExpectedRegistration, TheDllsOwnScripts) {
  const auto classes = calsvar::ExpectedClasses();
  ASSERT_EQ(classes.size(), 3u);
  const char16_t* names[] = {u"CalsFormat", u"CalsFile", u"CalsPreview"};
  const char16_t* models[] = {u"Both", u"Apartment", u"Apartment"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(classes[i].name, names[i]);
    EXPECT_EQ(classes[i].threadingModel, models[i]);
    EXPECT_EQ(classes[i].progId, u"Mirotex." + classes[i].name + u".1");
    EXPECT_EQ(classes[i].clsid.size(), 38u);
    EXPECT_EQ(classes[i].typeLibrary, classes[0].typeLibrary);
  }
  const unsigned char noClass[] = "HKCR { Mirotex.X = s 'x' }";
  EXPECT_FALSE(calsvar::ClassOfScript(noClass));
}

void Put(std::vector<unsigned char>& b, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// A 64-bit DLL of one section that exports two names.
std::vector<unsigned char> SmallDll() {
  std::vector<unsigned char> b(0x400);
  b[0] = 'M', b[1] = 'Z';
  Put(b, 0x3C, 0x40, 4);
  std::memcpy(&b[0x40], "PE\0\0", 4);
  Put(b, 0x44, 0x8664, 2);        // machine
  Put(b, 0x46, 1, 2);             // sections
  Put(b, 0x54, 0xF0, 2);          // optional header size
  Put(b, 0x56, 0x2022, 2);        // a DLL
  Put(b, 0x58, 0x20B, 2);         // PE32+
  Put(b, 0x58 + 108, 16, 4);      // data directories
  Put(b, 0x58 + 112, 0x1000, 4);  // exports
  const std::size_t section = 0x58 + 0xF0;
  Put(b, section + 8, 0x200, 4);
  Put(b, section + 12, 0x1000, 4);
  Put(b, section + 16, 0x200, 4);
  Put(b, section + 20, 0x200, 4);
  Put(b, 0x200 + 24, 2, 4);       // names
  Put(b, 0x200 + 32, 0x1028, 4);  // their addresses
  Put(b, 0x228, 0x1040, 4);
  Put(b, 0x22C, 0x1060, 4);
  std::memcpy(&b[0x240], "DllGetClassObject", 18);
  std::memcpy(&b[0x260], "DllCanUnloadNow", 16);
  return b;
}

TEST(PeImage, MachineKindAndExports) {
  std::string error;
  const auto image = ReadPeImage(SmallDll(), error);
  ASSERT_TRUE(image) << error;
  EXPECT_EQ(image->machine, calsvar::kMachineAmd64);
  EXPECT_TRUE(image->pe32Plus);
  EXPECT_TRUE(image->dll);
  EXPECT_EQ(image->exports, (std::vector<std::string>{"DllGetClassObject", "DllCanUnloadNow"}));
  EXPECT_EQ(calsvar::MachineName(0x14C), "32-bit x86");
}

TEST(PeImage, DamagedOrCutFilesAreRefusedNotFollowed) {
  struct Damage {
    const char* what;
    std::size_t at;
    int width;
    std::uint32_t value;
    const char* error;
  };
  const Damage damages[] = {
      {"no MZ", 0, 1, 'X', "no MZ header"},
      {"PE header beyond the end", 0x3C, 4, 0xFFFFFFF0u, "no PE header"},
      {"too many sections", 0x46, 2, 0xFFFF, "section table is cut short"},
      {"export table outside every section", 0x58 + 112, 4, 0x9000, "export table lies outside the file"},
      {"a name address outside", 0x22C, 4, 0x7FFFFFFF, "export table is damaged"},
      {"a name count beyond the file", 0x200 + 24, 4, 0x4000, "export table is damaged"},
  };
  for (const Damage& d : damages) {
    std::vector<unsigned char> bytes = SmallDll();
    Put(bytes, d.at, d.value, d.width);
    std::string error;
    EXPECT_FALSE(ReadPeImage(bytes, error)) << d.what;
    EXPECT_NE(error.find(d.error), std::string::npos) << d.what << ": " << error;
  }
  // Cut anywhere: never read past the end (the sanitizer builds watch).
  const std::vector<unsigned char> whole = SmallDll();
  for (std::size_t size = 0; size < 0x270; ++size) {
    std::string error;
    EXPECT_FALSE(ReadPeImage(std::span(whole.data(), size), error)) << size;
  }
}

}  // namespace
