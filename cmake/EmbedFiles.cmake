# mirotex_embed_files(<source> HEADER <header> NAMESPACE <ns>
#                     FILES <symbol> <file> ... [LIST <symbol>])
# Writes <source> in the current binary directory: one
# std::span<const unsigned char> per file, holding its bytes, or with LIST
# one std::span of all of them in the order given; <header>, a header of
# the tree, declares them. Rebuilt when a file changes, so that a program
# carries the current copy of files it must not look for at run time.
function(mirotex_embed_files source)
  cmake_parse_arguments(ARG "" "HEADER;NAMESPACE;LIST" "FILES" ${ARGN})
  set(inputs)
  set(pairs)
  list(LENGTH ARG_FILES count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET ARG_FILES ${i} symbol)
    list(GET ARG_FILES ${j} file)
    get_filename_component(file ${file} ABSOLUTE)
    list(APPEND inputs ${file})
    list(APPEND pairs "${symbol}=${file}")
  endforeach()
  string(REPLACE ";" "|" pairs "${pairs}")
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${source}
    COMMAND ${CMAKE_COMMAND} "-DOUT=${CMAKE_CURRENT_BINARY_DIR}/${source}" "-DHEADER=${ARG_HEADER}"
            "-DNAMESPACE=${ARG_NAMESPACE}" "-DLIST=${ARG_LIST}" "-DPAIRS=${pairs}"
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_files_script.cmake
    DEPENDS ${inputs} ${PROJECT_SOURCE_DIR}/cmake/embed_files_script.cmake VERBATIM)
endfunction()
