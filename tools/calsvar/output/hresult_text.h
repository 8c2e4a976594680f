// HRESULTs in words for the messages a person reads.
#pragma once

#include <windows.h>

#include <string>

namespace calsvar {

// "0x80040228".
std::string HexCode(HRESULT hr);

// What a failed OpenFile means, for the plug-in's own codes and the
// standard ones; the system's text for others.
std::string DescribeHresult(HRESULT hr);

}  // namespace calsvar
