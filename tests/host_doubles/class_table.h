// The classes that host_doubles.dll serves by CLSID.
#pragma once

#include <windows.h>

namespace host_doubles {

struct DoubleClass {
  const CLSID* clsid;
  DWORD registrationBit;  // kHostDoubles* of host_doubles.h
  const wchar_t* name;    // also the prefix of its log lines
  DWORD createOperation;  // HostDoublesOperation that can make creation fail
  HRESULT (*create)(REFIID iid, void** out);
};

// Null when `clsid` is none of the doubles.
const DoubleClass* FindClass(REFCLSID clsid);
const DoubleClass* ClassesBegin();
const DoubleClass* ClassesEnd();

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
// Live objects plus server locks.
LONG OutstandingReferences();

}  // namespace host_doubles
