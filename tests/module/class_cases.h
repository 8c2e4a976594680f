// The three classes of the module as the tests see them.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <ostream>
#include <string>

#include "host_interfaces_h.h"
#include "mirotex_h.h"

namespace module_test {

struct ClassCase {
  const char* name;
  const CLSID* clsid;
  const IID* ownInterface;
  const IID* hostInterface;
  const wchar_t* progId;
  const wchar_t* threadingModel;
  bool freeThreadedMarshaler;
};

inline const ClassCase kClasses[] = {
    {"CalsFormat", &CLSID_CalsFormat, &IID_ICalsFormat, &IID_IOrvFileFormat, L"CalsFormat", L"Both", true},
    {"CalsFile", &CLSID_CalsFile, &IID_ICalsFile, &IID_IOrvFileNavigator, L"CalsFile", L"Apartment", false},
    {"CalsPreview", &CLSID_CalsPreview, &IID_ICalsPreview, &IID_IOrvFilePreview, L"CalsPreview", L"Apartment",
     false},
};

inline void PrintTo(const ClassCase& c, std::ostream* out) { *out << c.name; }

inline std::string ClassCaseName(const testing::TestParamInfo<ClassCase>& param) { return param.param.name; }

}  // namespace module_test
