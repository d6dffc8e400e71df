# Fails when a translation lacks a text the window shows, or keeps one it no longer shows:
# brings a copy of the .ts file up to date with the sources, as update_translations would, and
# looks for what lupdate had to add or drop.
#   cmake -DLUPDATE=<lupdate> -DSOURCE_DIR=<repository> -DTS_FILE=<file.ts> -DWORK_DIR=<dir>
#         -P check_translations.cmake

get_filename_component(name ${TS_FILE} NAME)
set(copy ${WORK_DIR}/${name})
file(MAKE_DIRECTORY ${WORK_DIR})
configure_file(${TS_FILE} ${copy} COPYONLY)
execute_process(COMMAND ${LUPDATE} -locations none ${SOURCE_DIR}/src/ui -ts ${copy}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate failed on ${name}:\n${output}")
endif()

# One message per list item: inside a message, "</m" only starts its end.
file(READ ${copy} text)
string(REPLACE ";" "\\;" text "${text}")
string(REGEX MATCHALL "<message>([^<]|<[^/]|</[^m])*</message>" messages "${text}")
set(faults "")
foreach(message IN LISTS messages)
  string(REGEX REPLACE ".*<source>(.*)</source>.*" "\\1" source "${message}")
  if(message MATCHES "type=\"(unfinished|vanished|obsolete)\"")
    list(APPEND faults "${CMAKE_MATCH_1}: ${source}")
  elseif(message MATCHES "<translation>[ \t\n]*</translation>|<translation/>")
    list(APPEND faults "empty: ${source}")
  endif()
endforeach()
if(NOT messages)
  message(FATAL_ERROR "${name} holds no messages")
endif()
if(faults)
  list(JOIN faults "\n  " listed)
  message(FATAL_ERROR "${name} misses texts of src/ui or keeps texts it no longer has (the "
                      "update_translations target brings it up to date):\n  ${listed}")
endif()
list(LENGTH messages count)
message(STATUS "${name}: all ${count} texts translated")
