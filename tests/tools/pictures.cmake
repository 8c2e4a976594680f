# Pictures and report pages read back by other programs, natively: PNG files
# by Python's zlib (and python3-png), renderings of the samples against
# ImageMagick's decode, a report page in headless Chromium. Each script
# exits 77, which ctest shows as skipped, when its reader is not installed.
add_executable(picture_probe picture_probe.cpp)
target_link_libraries(picture_probe PRIVATE calsvar_picture calsvar_report cals_core mirotex_warnings)
target_include_directories(picture_probe PRIVATE ${PROJECT_SOURCE_DIR})

# Debian's own python3, for which python3-png and python3-selenium are
# installed (a python3 earlier in PATH may not see them).
find_program(MIROTEX_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(MIROTEX_PYTHON3 python3)
if(MIROTEX_PYTHON3)
  add_test(NAME picture_files
    COMMAND ${MIROTEX_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/picture_files_test.py
            $<TARGET_FILE:picture_probe> ${PROJECT_SOURCE_DIR}/samples ${CMAKE_CURRENT_BINARY_DIR}/picture-files)
  add_test(NAME report_browser
    COMMAND ${MIROTEX_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/report_browser_test.py
            $<TARGET_FILE:picture_probe> ${PROJECT_SOURCE_DIR}/samples ${CMAKE_CURRENT_BINARY_DIR}/report-browser)
  set_tests_properties(picture_files report_browser PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
