# Warnings for every target of the project, and the sanitizer switches.
add_library(mirotex_warnings INTERFACE)
target_compile_options(mirotex_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)

option(MIROTEX_TSAN "Build with ThreadSanitizer (clang; not together with MIROTEX_SANITIZE)" OFF)
if(MIROTEX_SANITIZE AND MIROTEX_TSAN)
  message(FATAL_ERROR "MIROTEX_SANITIZE and MIROTEX_TSAN exclude each other")
endif()

if(MIROTEX_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(MIROTEX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
