# The Windows build (included by CMakeLists.txt when cross-compiling with
# cmake/mingw-w64-x86_64.cmake): the saver as wavendell.scr, its unit tests
# and the helper the Wine tests drive, and the installer.

# The saver: a GUI program (no console) with the .scr suffix Windows'
# Screen Saver settings look for; string resource 1 is the name they list.
set(WAVENDELL_ICON ${CMAKE_CURRENT_SOURCE_DIR}/dist/windows/wavendell.ico)
set(WAVENDELL_MANIFEST ${CMAKE_CURRENT_SOURCE_DIR}/dist/windows/wavendell.manifest)
configure_file(dist/windows/wavendell.rc.in ${CMAKE_CURRENT_BINARY_DIR}/generated/wavendell.rc
               @ONLY)
add_executable(wavendell WIN32 host/main.cpp ${CMAKE_CURRENT_BINARY_DIR}/generated/wavendell.rc)
set_target_properties(wavendell PROPERTIES SUFFIX .scr)
set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/generated/wavendell.rc APPEND PROPERTY
             OBJECT_DEPENDS "${WAVENDELL_ICON};${WAVENDELL_MANIFEST}")
target_link_libraries(wavendell PRIVATE wavendell_core)

add_library(wavendell_memory_platform STATIC ${WAVENDELL_MEMORY_SOURCES})
target_link_libraries(wavendell_memory_platform PUBLIC wavendell_core)

if(WAVENDELL_TESTS)
  find_package(GTest REQUIRED)
  # A show played frame by frame at a simulated pace, for the tests.
  add_library(wavendell_show_play STATIC tools/show_play/show_play.cpp)
  target_link_libraries(wavendell_show_play PUBLIC wavendell_memory_platform)
  # The support library without its X11 GL windows.
  add_library(wavendell_support STATIC tests/support/test_support.cpp
              tests/support/picture_files.cpp tests/support/shipped_show.cpp)
  target_link_libraries(wavendell_support PUBLIC wavendell_show_play)
  target_compile_definitions(wavendell_support PUBLIC
                             WAVENDELL_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  add_library(allocation_counter OBJECT tests/support/allocation_counter.cpp)
  target_include_directories(allocation_counter PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  add_library(render_seam OBJECT tests/support/render_seam.cpp)
  target_link_libraries(render_seam PRIVATE wavendell_core)
  # The unit tests of every system (tests/unit; Linux's own are in
  # tests/unit/linux) and the Win32 backend's own.
  file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp tests/windows/*_test.cpp)
  add_executable(unit_tests ${UNIT_TEST_SOURCES} tests/support/host_fixture.cpp)
  target_link_libraries(unit_tests PRIVATE wavendell_support allocation_counter render_seam
                                           GTest::gtest GTest::gtest_main)
  # setenv and unsetenv for the tests that set variables.
  target_compile_options(unit_tests PRIVATE
                         -include ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/posix_env.h)

  # What the Wine tests drive: a preview host window and the finder of
  # message boxes.
  add_executable(wine_helper tests/windows/wine_helper.cpp)
  target_link_libraries(wine_helper PRIVATE user32 gdi32)

  # The saver's pace under Wine (bench/pacing_bench.cpp).
  add_executable(pacing_bench bench/pacing_bench.cpp)
  target_link_libraries(pacing_bench PRIVATE wavendell_support)
endif()

# The installer: the .scr in System32, the show under Program Files, the
# machine's key naming it.  The show's files are listed one by one so the
# uninstaller removes exactly those.
find_program(MAKENSIS makensis)
if(MAKENSIS)
  file(GLOB_RECURSE WAVENDELL_DATA_FILES CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/data
       ${CMAKE_CURRENT_SOURCE_DIR}/data/*)
  list(SORT WAVENDELL_DATA_FILES)
  list(TRANSFORM WAVENDELL_DATA_FILES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/data/ OUTPUT_VARIABLE
       data_paths)
  set(install_lines "")
  set(uninstall_lines "")
  set(data_dirs "")
  foreach(file IN LISTS WAVENDELL_DATA_FILES)
    get_filename_component(dir "${file}" DIRECTORY)
    string(REPLACE "/" "\\" wdir "${dir}")
    string(REPLACE "/" "\\" wfile "${file}")
    if(dir STREQUAL "")
      set(out "$INSTDIR\\data")
    else()
      set(out "$INSTDIR\\data\\${wdir}")
      list(APPEND data_dirs "${dir}")
    endif()
    # A user's edited options survive a reinstallation.
    if(file STREQUAL "options.xml")
      string(APPEND install_lines "  SetOutPath \"${out}\"\n  SetOverwrite off\n"
                                  "  File \"${CMAKE_CURRENT_SOURCE_DIR}/data/${file}\"\n"
                                  "  SetOverwrite on\n")
    else()
      string(APPEND install_lines "  SetOutPath \"${out}\"\n"
                                  "  File \"${CMAKE_CURRENT_SOURCE_DIR}/data/${file}\"\n")
    endif()
    string(APPEND uninstall_lines "  Delete \"$INSTDIR\\data\\${wfile}\"\n")
  endforeach()
  # Folders deepest first; RMDir leaves a folder that still holds files
  # nobody installed.
  list(REMOVE_DUPLICATES data_dirs)
  list(SORT data_dirs)
  list(REVERSE data_dirs)
  foreach(dir IN LISTS data_dirs)
    string(REPLACE "/" "\\" wdir "${dir}")
    string(APPEND uninstall_lines "  RMDir \"$INSTDIR\\data\\${wdir}\"\n")
  endforeach()
  string(APPEND uninstall_lines "  RMDir \"$INSTDIR\\data\"\n")
  file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/installer/data_files.nsh
       CONTENT "!macro InstallData\n${install_lines}!macroend\n!macro UninstallData\n${uninstall_lines}!macroend\n")
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/wavendell-setup.exe
    COMMAND ${MAKENSIS} -V2 -NOCD
            "-DSCR=$<TARGET_FILE:wavendell>"
            "-DDATA_FILES=${CMAKE_CURRENT_BINARY_DIR}/installer/data_files.nsh"
            "-DICON=${WAVENDELL_ICON}"
            "-DVERSION=${PROJECT_VERSION}"
            "-DOUTFILE=${CMAKE_CURRENT_BINARY_DIR}/wavendell-setup.exe"
            ${CMAKE_CURRENT_SOURCE_DIR}/dist/windows/wavendell.nsi
    DEPENDS wavendell ${CMAKE_CURRENT_SOURCE_DIR}/dist/windows/wavendell.nsi
            ${CMAKE_CURRENT_BINARY_DIR}/installer/data_files.nsh ${WAVENDELL_ICON}
            ${data_paths}
    COMMENT "Making the installer wavendell-setup.exe"
    VERBATIM)
  add_custom_target(installer ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/wavendell-setup.exe)
endif()
