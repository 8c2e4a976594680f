# base/version.h in the build tree, from the project version; the target
# project_version puts it on a target's include path (also for windres).
# Missing parts of the version are 0 in the four numbers of a version
# resource.
#
# MIROTEX_VERSION_OVERRIDE builds under another version (MAJOR.MINOR.PATCH):
# the release tests build an older package with it, to upgrade from.
set(MIROTEX_VERSION_OVERRIDE "" CACHE STRING "Build under this version instead of the project's (MAJOR.MINOR.PATCH)")
set(MIROTEX_VERSION_TEXT "${PROJECT_VERSION}")
foreach(part MAJOR MINOR PATCH TWEAK)
  set(MIROTEX_VERSION_${part} "${PROJECT_VERSION_${part}}")
endforeach()
if(MIROTEX_VERSION_OVERRIDE)
  if(NOT MIROTEX_VERSION_OVERRIDE MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "MIROTEX_VERSION_OVERRIDE \"${MIROTEX_VERSION_OVERRIDE}\" is not MAJOR.MINOR.PATCH")
  endif()
  set(MIROTEX_VERSION_TEXT "${MIROTEX_VERSION_OVERRIDE}")
  set(MIROTEX_VERSION_MAJOR "${CMAKE_MATCH_1}")
  set(MIROTEX_VERSION_MINOR "${CMAKE_MATCH_2}")
  set(MIROTEX_VERSION_PATCH "${CMAKE_MATCH_3}")
  set(MIROTEX_VERSION_TWEAK "")
endif()
foreach(part MAJOR MINOR PATCH TWEAK)
  if("${MIROTEX_VERSION_${part}}" STREQUAL "")
    set(MIROTEX_VERSION_${part} 0)
  endif()
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/base/version.h.in ${PROJECT_BINARY_DIR}/base/version.h @ONLY)

add_library(project_version INTERFACE)
target_include_directories(project_version INTERFACE ${PROJECT_BINARY_DIR})
