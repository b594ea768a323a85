# Debian wants manual pages and changelogs compressed without a time stamp,
# so that the same sources give the same package.
#
#   cq_compress_for_package(TARGET SOURCE...)
# makes SOURCE.gz in the current binary folder for each SOURCE, all built by
# TARGET (part of the default build); the compressed files' paths are left
# in ${TARGET}_COMPRESSED.
function(cq_compress_for_package target)
  set(compressed)
  foreach(source IN LISTS ARGN)
    cmake_path(GET source FILENAME name)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${output}
      COMMAND gzip -9 -n -c ${source} > ${output}
      DEPENDS ${source})
    list(APPEND compressed ${output})
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${compressed})
  set(${target}_COMPRESSED ${compressed} PARENT_SCOPE)
endfunction()
