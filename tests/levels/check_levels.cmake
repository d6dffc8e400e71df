# Fails when a source file includes a header of a level above its own, or of a front end beside
# it: the levels stay what the README says they are only while the includes say so too.
#   cmake -DSOURCE_DIR=<repository> -P check_levels.cmake

# Lowest first; cli and ui share the top level and do not include each other.
set(rank_base 1)
set(rank_text 2)
set(rank_image 3)
set(rank_codec 4)
set(rank_sets 5)
set(rank_cli 6)
set(rank_ui 6)
set(folders base text image codec sets cli ui)

# Which folder holds each header.
foreach(folder ${folders})
  file(GLOB headers RELATIVE ${SOURCE_DIR}/src/${folder} ${SOURCE_DIR}/src/${folder}/*.h)
  foreach(header ${headers})
    set(home_${header} ${folder})
  endforeach()
endforeach()

set(faults "")
foreach(folder ${folders})
  file(GLOB sources ${SOURCE_DIR}/src/${folder}/*.h ${SOURCE_DIR}/src/${folder}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^#include \"[^\"]+\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
      if(NOT DEFINED home_${header})
        continue()
      endif()
      set(home ${home_${header}})
      if(home STREQUAL folder)
        continue()
      endif()
      if(NOT rank_${home} LESS rank_${folder})
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${source})
        list(APPEND faults "${shown} (${folder}) includes ${header} (${home})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " listed)
  message(FATAL_ERROR "Includes against the levels:\n  ${listed}")
endif()
message(STATUS "Every include goes to the same level or one below")
