# zd_library(NAME DIR... DEPS ...): a static library made of every .cpp/.h of the given folders.
function(zd_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    list(FILTER found EXCLUDE REGEX "/main\\.cpp$")
    list(APPEND sources ${found})
  endforeach()
  # An anchor file keeps a library whose folder is still empty buildable.
  set(anchor ${CMAKE_CURRENT_BINARY_DIR}/${name}_anchor.cpp)
  if(NOT EXISTS ${anchor})
    file(WRITE ${anchor} "// ${name}\n")
  endif()
  add_library(${name} STATIC ${sources} ${anchor})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
endfunction()

# zd_tests(DIR LIBS...): every tst_*.cpp in DIR becomes one test executable.
# Files named tst_*_x11.cpp need a real X server and carry the label "x11";
# files named tst_*_wayland.cpp run once in each Wayland compositor's session
# (tests/support/wayland_session) and carry the label "wayland"; the others
# run offscreen.
function(zd_tests dir)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/tst_*.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*_helpers.cpp
                                      ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*_helpers.h)
  foreach(src IN LISTS tests)
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src} ${helpers})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARGN} zd_testsupport Qt6::Test)
    target_compile_definitions(${name} PRIVATE
      ZD_SOURCE_DIR="${CMAKE_SOURCE_DIR}" ZD_PROGRAM_DIR="${ZD_PROGRAM_DIR}")
    if(name MATCHES "_wayland$")
      # Run inside each compositor's session by the session runner.
      foreach(compositor IN ITEMS mutter sway)
        add_test(NAME ${name}_${compositor}
                 COMMAND ${CMAKE_SOURCE_DIR}/tests/support/wayland_session ${compositor} $<TARGET_FILE:${name}>)
        set_tests_properties(${name}_${compositor} PROPERTIES LABELS wayland RUN_SERIAL TRUE TIMEOUT 400)
      endforeach()
      continue()
    endif()
    add_test(NAME ${name} COMMAND ${name})
    if(name MATCHES "_x11$")
      set_tests_properties(${name} PROPERTIES LABELS x11 RUN_SERIAL TRUE TIMEOUT 600)
    else()
      set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
      # These tests start processes under the keyboard's name or end the
      # keyboard by name (fatal paths): they must not run side by side.
      if(dir MATCHES "^(common|dialogs|mainwindow|documents|startup)$")
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK keyboard_process)
      endif()
    endif()
  endforeach()
endfunction()
