# What Windows reads of a program's file rather than of its windows: the application manifest
# (Common Controls 6, system DPI awareness, the supported systems, the execution level), the
# version resource and the icon. One template for the three programs, so they cannot drift apart.
function(program_resources target description level icon)
  set(PROGRAM_NAME ${target})
  set(PROGRAM_DESCRIPTION "${description}")
  set(PROGRAM_LEVEL ${level})
  set(PROGRAM_VERSION ${PROJECT_VERSION})
  string(REPLACE "." "," PROGRAM_VERSION_COMMAS ${PROJECT_VERSION})
  set(PROGRAM_ICON ${icon})
  set(dir ${CMAKE_BINARY_DIR}/program/${target})
  set(PROGRAM_MANIFEST ${dir}/${target}.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/program/program.manifest.in ${PROGRAM_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/program/program.rc.in ${dir}/program.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/program.rc)
  set_source_files_properties(${dir}/program.rc TARGET_DIRECTORY ${target} PROPERTIES
    OBJECT_DEPENDS "${PROGRAM_MANIFEST};${icon}")
endfunction()
