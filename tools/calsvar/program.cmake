# calsvar.exe: uses the plug-in only through COM, as the host does, and the
# portable core for what COM cannot list (record and sub-tag names) and for
# check, which judges the file itself. Everything but main in a library, so that tests can drive the Windows
# parts (such as the reasons of a failed save) against the real plug-in.
add_library(calsvar_win STATIC
  code_page_check.cpp
  command_check.cpp
  command_check_config.cpp
  command_get.cpp
  command_info.cpp
  command_registration.cpp
  command_set.cpp
  command_set_from.cpp
  command_version.cpp
  configuration_note.cpp
  console.cpp
  exposed_names.cpp
  file_arguments.cpp
  header_bytes.cpp
  hresult_text.cpp
  installed_config.cpp
  load_failure.cpp
  opened_file.cpp
  plugin_connection.cpp
  plugin_write.cpp
  save_failure.cpp
  shown_paths.cpp
  variable_items.cpp)
target_link_libraries(calsvar_win PUBLIC
  calsvar_portable cals_conformance cals_win cals_core convert_win host_idl mirotex_idl project_version ole32 oleaut32
  uuid version PRIVATE mirotex_warnings)

add_executable(calsvar main.cpp)
target_link_libraries(calsvar PRIVATE calsvar_win mirotex_warnings)
target_link_options(calsvar PRIVATE -municode)
# Beside mirotex.dll, which "calsvar register" takes by default.
set_target_properties(calsvar PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY $<IF:$<TARGET_EXISTS:mirotex>,$<TARGET_FILE_DIR:mirotex>,${CMAKE_CURRENT_BINARY_DIR}>)
