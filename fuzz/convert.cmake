# Fuzz targets of the date renderer and its formatter (libFuzzer, clang).
# The library sources are compiled into each target, instrumented for
# coverage, rather than linking the uninstrumented convert_core.
if(MIROTEX_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  get_target_property(convert_sources convert_core SOURCES)
  get_target_property(convert_dir convert_core SOURCE_DIR)
  list(TRANSFORM convert_sources PREPEND "${convert_dir}/")

  foreach(target convert_format_date convert_printf)
    add_executable(fuzz_${target} ${CMAKE_CURRENT_LIST_DIR}/${target}.cpp ${convert_sources})
    target_include_directories(fuzz_${target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(fuzz_${target} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${target} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${target} PRIVATE mirotex_warnings)
  endforeach()
endif()
