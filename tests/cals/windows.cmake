# Windows-side tests: real registry, private-profile functions, code pages
# and file sharing, under Wine.
mirotex_add_test(cals_win_tests
  SOURCES
    win_registry_test.cpp
    win_platform_units_test.cpp
    win_header_load_test.cpp
  LIBS cals_win test_support)

# The same header code under a double-byte ANSI code page: Wine takes the
# code page from the locale the process starts with.
mirotex_add_test(cals_win_multibyte_tests
  SOURCES win_multibyte_test.cpp
  LIBS cals_win test_support
  ENVIRONMENT LC_ALL=ja_JP.UTF-8)
