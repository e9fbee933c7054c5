# Fails the build on an include that climbs out of its folder ("../x.h"),
# which would reach another layer's header past the include roots, and on a
# Qt module header other than Core's and Gui's in a core layer, whose folder
# Qt's include root would otherwise make reachable.
#   cmake -DROOT=<source dir> -DSTAMP=<file> -P CheckIncludes.cmake
cmake_minimum_required(VERSION 3.22)
set(core_layers platform store runner)
file(GLOB_RECURSE files RELATIVE ${ROOT}
  ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp
  ${ROOT}/bench/*.h ${ROOT}/bench/*.cpp)
set(faults "")
foreach(file IN LISTS files)
  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include")
  string(REGEX MATCH "^src/([a-z_]+)/" layer ${file})
  set(core FALSE)
  if(CMAKE_MATCH_1 IN_LIST core_layers)
    set(core TRUE)
  endif()
  foreach(line IN LISTS includes)
    if(line MATCHES "[\"<][^\">]*\\.\\.")
      string(APPEND faults "${file}: ${line}\n")
    elseif(core AND line MATCHES "<Qt([A-Za-z]+)/" AND NOT CMAKE_MATCH_1 MATCHES "^(Core|Gui)$")
      string(APPEND faults "${file}: ${line}\n")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "Includes that cross the layer wall:\n${faults}")
endif()
file(TOUCH ${STAMP})
