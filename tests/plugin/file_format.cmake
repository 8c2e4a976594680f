# The opened-file and format objects, on real CALS files under Wine.
mirotex_add_test(cals_file_tests
  SOURCES
    cals_file_variables_test.cpp
    cals_file_save_test.cpp
    cals_file_save_faults_test.cpp
    cals_file_save_conflict_test.cpp
    cals_file_path_test.cpp
    cals_file_code_page_test.cpp
    cals_file_placeholders_test.cpp
    cals_file_interface_test.cpp
  LIBS plugin_file_format test_support module_release_check)

mirotex_add_test(cals_format_tests
  SOURCES
    cals_format_description_test.cpp
    cals_format_interface_test.cpp
    cals_format_open_test.cpp
    cals_format_extension_groups_test.cpp
  LIBS plugin_file_format test_support host_doubles_api module_release_check)

# The opened-file object under a double-byte ANSI code page (Shift-JIS):
# Wine takes the code page from the locale the process starts with.
mirotex_add_test(cals_file_shift_jis_tests
  SOURCES cals_file_shift_jis_test.cpp
  LIBS plugin_file_format test_support module_release_check
  ENVIRONMENT LC_ALL=ja_JP.UTF-8)
