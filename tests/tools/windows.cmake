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
