# Copies the sample sets beside the programs, each set afresh, so a build tree never shows an
# image the sets no longer have; other sets in the folder, such as the user's own, stay.
#
#   cmake -DSOURCE=examples/Graphics -DDESTINATION=build/bin/Graphics
#         -P tools/copy_sample_graphics.cmake
foreach(variable SOURCE DESTINATION)
  if(NOT ${variable})
    message(FATAL_ERROR "copy_sample_graphics.cmake: -D${variable}= is missing")
  endif()
endforeach()

file(GLOB sets LIST_DIRECTORIES true RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(set IN LISTS sets)
  if(IS_DIRECTORY "${SOURCE}/${set}")
    file(REMOVE_RECURSE "${DESTINATION}/${set}")
  endif()
endforeach()
file(COPY "${SOURCE}/" DESTINATION "${DESTINATION}")
