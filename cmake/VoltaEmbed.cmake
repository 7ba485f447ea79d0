# Built-in data files compiled into a library as byte arrays.
#
# volta_embed_files(TARGET target HEADER path/name.h NAMESPACE ns FILES symbol=file ...)
# generates ${CMAKE_BINARY_DIR}/embedded/path/name.h, declaring in namespace ns one
# function per file, `std::span<const std::uint8_t> symbol()`, and a source defining
# them, added to target. The header is included as "path/name.h".
function(volta_embed_files)
  cmake_parse_arguments(E "" "TARGET;HEADER;NAMESPACE" "FILES" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/embedded)
  set(header ${root}/${E_HEADER})
  string(REGEX REPLACE "\\.h$" ".cpp" source ${header})
  set(inputs "")
  foreach(item IN LISTS E_FILES)
    string(REGEX REPLACE "^[^=]+=" "" file ${item})
    list(APPEND inputs ${file})
  endforeach()
  list(JOIN E_FILES "|" files_arg)
  add_custom_command(OUTPUT ${header} ${source}
    COMMAND ${CMAKE_COMMAND} -DHEADER=${header} -DSOURCE=${source} -DINCLUDE=${E_HEADER}
            -DNAMESPACE=${E_NAMESPACE} -DFILES=${files_arg} -P ${CMAKE_SOURCE_DIR}/cmake/embed_files.cmake
    DEPENDS ${inputs} ${CMAKE_SOURCE_DIR}/cmake/embed_files.cmake
    COMMENT "Embedding ${E_HEADER}"
    VERBATIM)
  target_sources(${E_TARGET} PRIVATE ${source} ${header})
  target_include_directories(${E_TARGET} PUBLIC ${root})
endfunction()
