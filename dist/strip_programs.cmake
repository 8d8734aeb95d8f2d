# CPack pre-build script of the Debian package: strips the installed programs as Debian's own
# tools do (debug symbols, and the compiler's .comment and .note sections that lintian
# flags), in the staging directory before the package is made.
file(GLOB SW_PROGRAM_FILES "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*")
foreach(program IN LISTS SW_PROGRAM_FILES)
  file(READ "${program}" SW_MAGIC LIMIT 4 HEX)
  if(NOT SW_MAGIC STREQUAL "7f454c46")    # only ELF files, not the launcher script
    continue()
  endif()
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note --strip-unneeded "${program}"
                  RESULT_VARIABLE SW_RESULT)
  if(NOT SW_RESULT EQUAL 0)
    message(FATAL_ERROR "strip failed on ${program}")
  endif()
endforeach()
