# base/version.h in the build tree, from the project version; the target
# project_version puts it on a target's include path (also for windres).
# Missing parts of the version are 0 in the four numbers of a version
# resource.
foreach(part MAJOR MINOR PATCH TWEAK)
  set(MIROTEX_VERSION_${part} "${PROJECT_VERSION_${part}}")
  if("${MIROTEX_VERSION_${part}}" STREQUAL "")
    set(MIROTEX_VERSION_${part} 0)
  endif()
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/base/version.h.in ${PROJECT_BINARY_DIR}/base/version.h @ONLY)

add_library(project_version INTERFACE)
target_include_directories(project_version INTERFACE ${PROJECT_BINARY_DIR})
