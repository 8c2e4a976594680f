// Result codes of the header operations. They are HRESULT values, kept as
// plain 32-bit integers so that the portable core needs no Windows header.
#pragma once

#include <cstdint>

namespace cals {

using Status = std::int32_t;

inline constexpr Status kOk = 0;
// The tag configuration could not be located, or it refused a record; also
// SaveHeader's "cannot open the file for writing", "the file no longer
// holds a whole header" and "the header changed on disk since it was
// loaded" (nothing written in each case).
inline constexpr Status kFail = static_cast<Status>(0x80004005u);
// The file could not be opened for reading.
inline constexpr Status kCannotOpen = static_cast<Status>(0x80040228u);
// The file is too short to hold a CALS header.
inline constexpr Status kTooShort = static_cast<Status>(0x80040229u);
// The header records could not be written after the file was opened
// (HRESULT_FROM_WIN32(ERROR_WRITE_FAULT)).
inline constexpr Status kWriteFault = static_cast<Status>(0x8007001Du);

constexpr bool Succeeded(Status s) { return s >= 0; }

}  // namespace cals
