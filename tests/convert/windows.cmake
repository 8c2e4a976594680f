# Tests that need the platform: run under Wine.
mirotex_add_test(convert_platform_tests
  SOURCES
    ole_date_platform_test.cpp
    variant_to_text_test.cpp
    text_to_variant_test.cpp
    host_records_test.cpp
  LIBS convert_win host_idl)

# Its own program: it replaces the global operator new.
mirotex_add_test(convert_out_of_memory_tests
  SOURCES variant_text_oom_test.cpp
  LIBS convert_win)
