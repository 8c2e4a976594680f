# The Windows side of the header: registry, private-profile functions, ANSI
# code pages and share-deny-write file access.
add_library(cals_win STATIC
  registry.cpp
  settings_light.cpp
  win_ansi_text_codec.cpp
  win_private_profile_tag_config.cpp
  win_registry_installation.cpp
  win_share_deny_write_files.cpp
  windows_platform.cpp)
target_include_directories(cals_win PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(cals_win PUBLIC cals_core advapi32 kernel32 PRIVATE mirotex_warnings)
