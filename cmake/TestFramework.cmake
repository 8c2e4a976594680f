# GoogleTest for both worlds: Debian's installed package natively, and the
# sources in /usr/src/googletest compiled with the cross compiler for Windows.
include(GoogleTest)

if(WIN32)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  # googletest 1.12 defines the GTest:: aliases itself.
else()
  find_package(GTest REQUIRED)
endif()

# mirotex_add_test(<name> SOURCES ... [LIBS ...] [ENVIRONMENT VAR=value...] [NO_MAIN])
# One test program; every test case becomes its own ctest entry, listed when
# ctest runs (under Wine for the Windows build).
function(mirotex_add_test name)
  cmake_parse_arguments(ARG "NO_MAIN" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest mirotex_warnings)
  if(NOT ARG_NO_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    MIROTEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120 ENVIRONMENT "${ARG_ENVIRONMENT}")
endfunction()
