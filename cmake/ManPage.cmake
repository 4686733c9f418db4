# One man page from a program's --help: help2man, then gzip as Debian keeps
# them. HELP2MAN, PROGRAM, NAME, SUMMARY, VERSION and OUTPUT are given.
get_filename_component(dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${dir})
set(page ${dir}/${NAME}.1)
execute_process(
  COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 --version-string=${VERSION}
          --name=${SUMMARY} --output=${page} ${PROGRAM}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man ${PROGRAM}: ${status}")
endif()
execute_process(COMMAND gzip -9nf ${page} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip ${page}: ${status}")
endif()
