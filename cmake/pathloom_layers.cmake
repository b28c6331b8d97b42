# Pathloom's layers. Each is one folder of src/ and a static library whose include root shows
# that folder alone (a directory of the build holding a link to it); a library links the layers
# below it, so a file can include its own layer and those below, and an include of a layer above
# does not build. Its portable .cpp files build everywhere; its *_win32.cpp files only with MinGW,
# except in the top layer, whose windows and WinMain are the program's own sources.
function(pathloom_layer target folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
  set(core ${sources})
  list(FILTER core EXCLUDE REGEX "_win32\\.cpp$")
  set(win ${sources})
  list(FILTER win INCLUDE REGEX "_win32\\.cpp$")
  if(WIN32 AND NOT PATHLOOM_LAYER_PROGRAM_SOURCES)
    list(APPEND core ${win})
  endif()
  add_library(${target} STATIC ${CMAKE_BINARY_DIR}/core_anchor.cpp ${core})
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${ARGN})
  set(${target}_WIN32_SOURCES ${win} PARENT_SCOPE)
endfunction()

# An include of a higher layer must fail to build, and one of a lower layer must build: compiled
# at configure time with the include roots the site layer's files see.
function(pathloom_check_layers)
  set(dir ${CMAKE_BINARY_DIR}/layer_check)
  set(roots ${CMAKE_BINARY_DIR}/layers/pathloom_site ${CMAKE_BINARY_DIR}/layers/pathloom_common)
  set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
  foreach(probe downward upward)
    if(probe STREQUAL "downward")
      set(header "site/site_tree.h")
    else()
      set(header "crawler/task_queue.h")
    endif()
    file(WRITE ${dir}/${probe}.cpp "#include \"${header}\"\n")
    try_compile(built ${dir}/${probe} SOURCES ${dir}/${probe}.cpp
                CMAKE_FLAGS "-DINCLUDE_DIRECTORIES=${roots}" CXX_STANDARD 20 OUTPUT_VARIABLE output)
    if(probe STREQUAL "downward" AND NOT built)
      message(FATAL_ERROR "Layer check: the site layer cannot include its own header ${header}:\n${output}")
    elseif(probe STREQUAL "upward" AND built)
      message(FATAL_ERROR "Layer check: the site layer can include ${header} of a higher layer")
    endif()
  endforeach()
endfunction()
