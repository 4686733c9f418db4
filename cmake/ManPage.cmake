# One man page from a program's --help: help2man, then gzip as Debian keeps
# them. HELP2MAN, PROGRAM, NAME, SUMMARY, VERSION and OUTPUT are given; with
# COMMANDS=ON the page also gets a section with the --help of every command
# the program's own --help lists ("  init KATALOG ...": init --help).
get_filename_component(dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${dir})
set(page ${dir}/${NAME}.1)
set(include_option)

# Text as roff: backslashes escaped, no line taken for a request.
function(as_roff text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

if(COMMANDS)
  execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE usage ERROR_VARIABLE usage)
  string(REGEX MATCHALL "\n  [a-z]+" heads "\n${usage}")
  set(commands)
  foreach(head IN LISTS heads)
    string(STRIP "${head}" command)
    list(APPEND commands ${command})
  endforeach()
  list(REMOVE_DUPLICATES commands)
  set(include "[POLECENIA]\n")
  foreach(command IN LISTS commands)
    set(variants "${command}")
    if(command STREQUAL "conf")
      set(variants "conf show" "conf set")
    endif()
    foreach(variant IN LISTS variants)
      separate_arguments(words UNIX_COMMAND "${variant}")
      execute_process(COMMAND ${PROGRAM} ${words} --help OUTPUT_VARIABLE text ERROR_VARIABLE text)
      as_roff("${text}" text)
      string(APPEND include ".TP\n.B ${variant}\n.nf\n${text}.fi\n")
    endforeach()
  endforeach()
  file(WRITE ${dir}/${NAME}.h2m "${include}")
  set(include_option --include=${dir}/${NAME}.h2m)
endif()

execute_process(
  COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 --version-string=${VERSION}
          --name=${SUMMARY} ${include_option} --output=${page} ${PROGRAM}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man ${PROGRAM}: ${status}")
endif()
execute_process(COMMAND gzip -9nf ${page} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip ${page}: ${status}")
endif()
