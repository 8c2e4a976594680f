// Helpers shared by the fuzz targets: a failed check aborts (so libFuzzer
// and the corpus replay both report it), and fuzz bytes are turned into
// UTF-16 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                             \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (false)

namespace fuzzing {

// Reads fuzz bytes front to back; running out yields zeros and empty text.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(reinterpret_cast<const char*>(data), size) {}

  bool empty() const { return bytes_.empty(); }

  std::uint8_t Byte() {
    if (bytes_.empty()) return 0;
    const auto byte = static_cast<std::uint8_t>(bytes_.front());
    bytes_.remove_prefix(1);
    return byte;
  }

  // Text up to the next 0x00 byte (consumed) or the end. Each byte is one
  // Latin-1 character, except 0xFF, which takes the next two bytes as any
  // UTF-16 code unit (surrogates and zero included).
  std::u16string TextUntilZero() { return Text(true); }

  // The same reading of every byte left, zero bytes included as U+0000.
  std::u16string TextToEnd() { return Text(false); }

  // The bytes not read yet; the input is then used up.
  std::string_view TakeRest() {
    const std::string_view rest = bytes_;
    bytes_ = {};
    return rest;
  }

 private:
  std::u16string Text(bool stopAtZero) {
    std::u16string text;
    while (!bytes_.empty()) {
      const std::uint8_t byte = Byte();
      if (byte == 0x00 && stopAtZero) break;
      if (byte == 0xFF) {
        const std::uint8_t high = Byte();
        text.push_back(static_cast<char16_t>(high << 8 | Byte()));
      } else {
        text.push_back(byte);
      }
    }
    return text;
  }

  std::string_view bytes_;
};

}  // namespace fuzzing
