// Result codes of the registrar. They are HRESULT values kept as plain
// 32-bit integers, so that the script parser and runner need no Windows
// header and can be tested against an in-memory registry.
#pragma once

#include <cstdint>

namespace registrar {

using Status = std::int32_t;

inline constexpr Status kOk = 0;
// A malformed script or an unknown replacement name (DISP_E_EXCEPTION, the
// code the platform's registrar gives for both).
inline constexpr Status kSyntaxError = static_cast<Status>(0x80020009u);
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND): a key or value that is not there.
inline constexpr Status kNotFound = static_cast<Status>(0x80070002u);
// HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED).
inline constexpr Status kAccessDenied = static_cast<Status>(0x80070005u);

constexpr bool Succeeded(Status s) { return s >= 0; }
constexpr bool Failed(Status s) { return s < 0; }

}  // namespace registrar
