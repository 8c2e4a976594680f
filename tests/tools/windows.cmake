# calsvar end to end under Wine through ./calsvar. The script runs on the
# build machine (bash, not the Windows emulator), on this build tree and a
# Wine prefix of its own, so it neither rebuilds nor disturbs the prefix the
# other Windows tests use.
add_test(NAME calsvar_end_to_end
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/calsvar_end_to_end.sh)
set_tests_properties(calsvar_end_to_end PROPERTIES
  ENVIRONMENT "MIROTEX_VERSION=${PROJECT_VERSION};CALSVAR_BUILD_DIR=${CMAKE_BINARY_DIR};CALSVAR_PREFIX=${CMAKE_BINARY_DIR}/calsvar-test-prefix;CALSVAR_NO_BUILD=1"
  TIMEOUT 600)

# The configuration check's own INI reading against the real
# private-profile functions.
mirotex_add_test(profile_document_wine_test
  SOURCES profile_document_wine_test.cpp
  LIBS calsvar_portable cals_core test_support)

# calsvar's reasons for a failed save, against the real plug-in's Save.
mirotex_add_test(calsvar_save_failure_test
  SOURCES save_failure_wine_test.cpp
  LIBS calsvar_win plugin_file_format test_support module_release_check)

# report's drawing threads: headers, rows and cells of each file.
mirotex_add_test(calsvar_drawing_threads_test
  SOURCES drawing_threads_wine_test.cpp
  LIBS calsvar_win sample_writer test_support)

# The table round trip of calsvar (get --csv, set --from), end to end.
add_test(NAME calsvar_tables_end_to_end
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/calsvar_tables_end_to_end.sh)
set_tests_properties(calsvar_tables_end_to_end PROPERTIES
  ENVIRONMENT "CALSVAR_BUILD_DIR=${CMAKE_BINARY_DIR};CALSVAR_PREFIX=${CMAKE_BINARY_DIR}/calsvar-tables-test-prefix;CALSVAR_NO_BUILD=1"
  TIMEOUT 600)

# calsvar doctor against one broken installation at a time, each in a
# fresh copy of a prepared Wine prefix.
add_test(NAME calsvar_doctor_end_to_end
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/calsvar_doctor_end_to_end.sh)
set_tests_properties(calsvar_doctor_end_to_end PROPERTIES
  ENVIRONMENT "MIROTEX_VERSION=${PROJECT_VERSION};CALSVAR_BUILD_DIR=${CMAKE_BINARY_DIR};CALSVAR_PREFIX=${CMAKE_BINARY_DIR}/calsvar-doctor-test-prefix"
  TIMEOUT 600)

# calsvar render and report end to end, and the report of the samples that
# calsvar report writes, opened in headless Chromium (skipped, exit 77,
# where Chromium, chromedriver or python3-selenium is missing).
add_test(NAME calsvar_pictures_end_to_end
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/calsvar_pictures_end_to_end.sh)
find_program(MIROTEX_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
add_test(NAME calsvar_report_browser
  COMMAND ${MIROTEX_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/report_browser_test.py
          ${PROJECT_SOURCE_DIR}/calsvar ${PROJECT_SOURCE_DIR}/samples ${CMAKE_BINARY_DIR}/report-browser)
set_tests_properties(calsvar_pictures_end_to_end calsvar_report_browser PROPERTIES
  ENVIRONMENT "CALSVAR_BUILD_DIR=${CMAKE_BINARY_DIR};CALSVAR_PREFIX=${CMAKE_BINARY_DIR}/calsvar-pictures-test-prefix;CALSVAR_NO_BUILD=1"
  RESOURCE_LOCK calsvar-pictures-test-prefix SKIP_RETURN_CODE 77 TIMEOUT 600)
