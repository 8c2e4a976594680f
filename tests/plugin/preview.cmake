# The preview object and its tip of the day, against the host doubles.
mirotex_add_test(cals_preview_tests
  SOURCES
    cals_preview_forwarding_test.cpp
    tip_of_the_day_test.cpp
  LIBS plugin_preview host_doubles_api test_support module_release_check)
