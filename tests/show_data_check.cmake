# Regenerates the sprites and the figure files into a fresh folder and
# compares every file with the committed copy, byte for byte:
#   cmake -DGENERATOR=<make_show_data> -DDATA=<data folder> -DWORK=<scratch folder>
#         -P show_data_check.cmake
# The scene pictures are left out: painting them takes about 20 s.
cmake_minimum_required(VERSION 3.18)

foreach(var GENERATOR DATA WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${GENERATOR}" "${WORK}" sprites figures RESULT_VARIABLE result)
set(failures "")
if(NOT result EQUAL 0)
  list(APPEND failures "make_show_data failed: ${result}")
endif()

# The same files as committed, no more and no fewer, each unchanged.
file(GLOB_RECURSE made LIST_DIRECTORIES false RELATIVE "${WORK}" "${WORK}/*")
file(GLOB committed RELATIVE "${DATA}" "${DATA}/*.bmp" "${DATA}/_figures/*.xml")
foreach(name IN LISTS committed)
  if(NOT name IN_LIST made)
    list(APPEND failures "${name} was not made")
  endif()
endforeach()
foreach(name IN LISTS made)
  if(NOT name IN_LIST committed)
    list(APPEND failures "${name} is not committed")
    continue()
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${name}" "${DATA}/${name}"
                  RESULT_VARIABLE differs)
  if(differs)
    list(APPEND failures "${name} differs from the committed copy")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "regenerated show data does not match:\n  ${text}")
endif()
list(LENGTH made count)
message(STATUS "${count} regenerated files match the committed ones")
