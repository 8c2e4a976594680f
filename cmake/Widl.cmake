# mirotex_widl(<idl>
#   [HEADER <file>] [IID <file>] [TLB <file>] [PROXY <file>] [DLLDATA <file>]
#   [PROXY_HEADER <file>] [INCLUDES <dir>...] [DEPENDS <file>...])
# Runs Wine's IDL compiler once per requested output. Outputs are relative to
# the current binary directory. The proxy includes the header under the name
# given with HEADER, or with PROXY_HEADER when another directory writes it.
find_program(WIDL_EXECUTABLE NAMES x86_64-w64-mingw32-widl widl REQUIRED)
set(WIDL_SYSTEM_IDL_DIR /usr/include/wine/wine/windows)
set(WIDL_SYSTEM_TLB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)

function(mirotex_widl idl)
  cmake_parse_arguments(ARG "" "HEADER;IID;TLB;PROXY;DLLDATA;PROXY_HEADER" "INCLUDES;DEPENDS" ${ARGN})
  get_filename_component(idl_abs ${idl} ABSOLUTE)
  set(common --win64 -I ${WIDL_SYSTEM_IDL_DIR} -I ${PROJECT_SOURCE_DIR}
             -L ${WIDL_SYSTEM_TLB_DIR})
  foreach(inc IN LISTS ARG_INCLUDES)
    list(APPEND common -I ${inc})
  endforeach()
  set(bin ${CMAKE_CURRENT_BINARY_DIR})
  if(ARG_HEADER)
    add_custom_command(OUTPUT ${bin}/${ARG_HEADER}
      COMMAND ${WIDL_EXECUTABLE} ${common} -h -o ${bin}/${ARG_HEADER} ${idl_abs}
      DEPENDS ${idl_abs} ${ARG_DEPENDS} VERBATIM)
  endif()
  if(ARG_IID)
    add_custom_command(OUTPUT ${bin}/${ARG_IID}
      COMMAND ${WIDL_EXECUTABLE} ${common} -u -o ${bin}/${ARG_IID} ${idl_abs}
      DEPENDS ${idl_abs} ${ARG_DEPENDS} VERBATIM)
  endif()
  if(ARG_TLB)
    # The time of the run that widl records goes (see pin_typelib_time.pl).
    set(pin_time ${PROJECT_SOURCE_DIR}/cmake/pin_typelib_time.pl)
    add_custom_command(OUTPUT ${bin}/${ARG_TLB}
      COMMAND ${WIDL_EXECUTABLE} ${common} -t -o ${bin}/${ARG_TLB} ${idl_abs}
      COMMAND perl -0777 -p -i ${pin_time} ${bin}/${ARG_TLB}
      DEPENDS ${idl_abs} ${ARG_DEPENDS} ${pin_time} VERBATIM)
  endif()
  if(ARG_PROXY)
    # -Oif: interpreted stubs without Wine's exception wrappers.
    set(proxy_header)
    if(ARG_HEADER)
      set(proxy_header -H ${ARG_HEADER})
    elseif(ARG_PROXY_HEADER)
      set(proxy_header -H ${ARG_PROXY_HEADER})
    endif()
    add_custom_command(OUTPUT ${bin}/${ARG_PROXY}
      COMMAND ${WIDL_EXECUTABLE} ${common} -Oif -p ${proxy_header} -o ${bin}/${ARG_PROXY} ${idl_abs}
      DEPENDS ${idl_abs} ${ARG_DEPENDS} VERBATIM)
  endif()
  if(ARG_DLLDATA)
    add_custom_command(OUTPUT ${bin}/${ARG_DLLDATA}
      COMMAND ${WIDL_EXECUTABLE} ${common} --dlldata-only -o ${bin}/${ARG_DLLDATA} ${idl_abs}
      DEPENDS ${idl_abs} ${ARG_DEPENDS} VERBATIM)
  endif()
endfunction()
