# Warnings for every target of the project, and the sanitizer switch.
add_library(mirotex_warnings INTERFACE)
target_compile_options(mirotex_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)

if(MIROTEX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
