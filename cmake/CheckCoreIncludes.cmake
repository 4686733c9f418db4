# The core is the floors below the window: no core folder may include
# anything from shell/, the top floor, or the lowest parts of the station
# would depend on its window code. A folder's ui/ part is window code and may.
# Run as a test: cmake -DSOURCE_DIR=<src> -P CheckCoreIncludes.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR not given")
endif()
set(core_folders
  database history processing baselink operators messages platform config
  net hydro printing signals maintenance)
set(offenders "")
foreach(folder IN LISTS core_folders)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(path IN LISTS files)
    file(RELATIVE_PATH relative "${SOURCE_DIR}" "${path}")
    if(relative MATCHES "/ui/")
      continue()
    endif()
    file(STRINGS "${path}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](\\.\\./)*shell/")
    foreach(line IN LISTS includes)
      string(APPEND offenders "\n  ${relative}: ${line}")
    endforeach()
  endforeach()
endforeach()
if(offenders)
  message(FATAL_ERROR "core files that include shell/:${offenders}")
endif()
message(STATUS "no core file includes shell/")
