# calsvar.exe: uses the plug-in only through COM, as the host does, and the
# portable core for what COM cannot list (record and sub-tag names) and for
# check, which judges the file itself.
add_executable(calsvar
  command_check.cpp
  command_check_config.cpp
  command_get.cpp
  command_info.cpp
  command_registration.cpp
  command_set.cpp
  command_version.cpp
  console.cpp
  exposed_names.cpp
  file_arguments.cpp
  hresult_text.cpp
  installed_config.cpp
  load_failure.cpp
  main.cpp
  opened_file.cpp
  plugin_connection.cpp
  variable_items.cpp)
target_link_libraries(calsvar PRIVATE
  calsvar_portable cals_conformance cals_win cals_core host_idl mirotex_idl project_version ole32 oleaut32 uuid
  version mirotex_warnings)
target_link_options(calsvar PRIVATE -municode)
# Beside mirotex.dll, which "calsvar register" takes by default.
set_target_properties(calsvar PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY $<IF:$<TARGET_EXISTS:mirotex>,$<TARGET_FILE_DIR:mirotex>,${CMAKE_CURRENT_BINARY_DIR}>)
