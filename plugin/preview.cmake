# The preview object and its one-time tip of the day.
add_library(plugin_preview STATIC
  cals_preview.cpp
  tip_of_the_day.cpp)
target_include_directories(plugin_preview PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(plugin_preview
  PUBLIC cals_win com_framework host_idl mirotex_idl ole32 oleaut32
  PRIVATE mirotex_warnings)
