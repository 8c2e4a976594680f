# The build of the release package (scripts/package.sh): its two files must
# come out byte for byte the same from any build tree on any day. So no link
# timestamp in the PE headers, no path of the source or build tree in the
# code, and neither symbols nor debug information. The preset compiles with
# the optimisation of the tested windows build (-O2 -DNDEBUG) and leaves out
# only its -g, which changes no code.
option(MIROTEX_RELEASE_PACKAGE "Build mirotex.dll and calsvar.exe as shipped: stripped, reproducible" OFF)

if(MIROTEX_RELEASE_PACKAGE)
  if(NOT WIN32)
    message(FATAL_ERROR "MIROTEX_RELEASE_PACKAGE is for the Windows build (the windows-release preset)")
  endif()
  # windres takes none of these, hence only C and C++.
  add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>"
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=build>")
  add_link_options(-s LINKER:--no-insert-timestamp)
endif()
