# calsvar.exe: uses the plug-in only through COM, as the host does, and the
# portable core for what COM cannot list (record and sub-tag names) and for
# check, which judges the file itself. Everything but main in a library, so that tests can drive the Windows
# parts (such as the reasons of a failed save) against the real plug-in.
# The sample of doctor's round trip travels inside calsvar.exe: doctor
# must not depend on files beside it.
mirotex_embed_files(doctor_sample.cpp
  HEADER tools/calsvar/doctor/doctor_checks.h NAMESPACE calsvar::embedded
  FILES kRoundTripSample ${PROJECT_SOURCE_DIR}/samples/blank-page.cal)

add_library(calsvar_win STATIC
  commands/command_check.cpp
  commands/command_check_config.cpp
  commands/command_doctor.cpp
  commands/command_get.cpp
  commands/command_info.cpp
  commands/command_registration.cpp
  commands/command_render.cpp
  commands/command_report.cpp
  commands/command_set.cpp
  commands/command_set_from.cpp
  commands/command_version.cpp
  commands/write_report.cpp
  configuration/configuration_note.cpp
  configuration/installed_config.cpp
  doctor/installation_checks.cpp
  doctor/plugin_checks.cpp
  doctor/registration_checks.cpp
  doctor/registry_reading.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/doctor_sample.cpp
  files/file_arguments.cpp
  files/file_identity.cpp
  files/file_reading.cpp
  files/full_path.cpp
  files/header_bytes.cpp
  files/written_file.cpp
  output/console.cpp
  output/hresult_text.cpp
  output/shown_paths.cpp
  plugin/dll_version.cpp
  plugin/exposed_names.cpp
  plugin/listed_variables.cpp
  plugin/load_failure.cpp
  plugin/opened_file.cpp
  plugin/plugin_connection.cpp
  plugin/plugin_write.cpp
  plugin/save_failure.cpp
  plugin/variable_items.cpp
  plugin/write_tally.cpp
  report_threads/drawing_threads.cpp
  report_threads/plugin_reader.cpp
  writing/code_page_check.cpp)
target_link_libraries(calsvar_win PUBLIC
  calsvar_portable calsvar_picture calsvar_report cals_conformance cals_win cals_core convert_win host_idl mirotex_idl project_version ole32 oleaut32
  uuid version PRIVATE mirotex_warnings)

add_executable(calsvar commands/main.cpp)
target_link_libraries(calsvar PRIVATE calsvar_win mirotex_warnings)
target_link_options(calsvar PRIVATE -municode)
# Beside mirotex.dll, which "calsvar register" takes by default.
set_target_properties(calsvar PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY $<IF:$<TARGET_EXISTS:mirotex>,$<TARGET_FILE_DIR:mirotex>,${CMAKE_CURRENT_BINARY_DIR}>)
