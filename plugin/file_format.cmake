# The opened-file object and the format object, with the helpers they share
# with the rest of the plug-in (the exception boundary, the source test).
add_library(plugin_file_format STATIC
  cals_file.cpp
  cals_format.cpp
  optional_component.cpp
  variable_source.cpp)
target_include_directories(plugin_file_format PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(plugin_file_format
  PUBLIC cals_win convert_win com_framework host_idl mirotex_idl
  PRIVATE mirotex_warnings)
