# Every subsystem folder adds its sources by pattern: a new file in a folder is
# part of its library at the next configure, with no list to keep in step.
#   <folder>/*.cpp          core (no Qt Widgets)
#   <folder>/ui/*.cpp       window code
#   *_main.cpp              program entries, never part of a library
function(kestrel4_glob out)
  set(result)
  foreach(pattern IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${pattern})
    list(APPEND result ${found})
  endforeach()
  list(FILTER result EXCLUDE REGEX "_main\\.cpp$")
  list(SORT result)
  set(${out} ${result} PARENT_SCOPE)
endfunction()

set(KESTREL4_SUBSYSTEMS
  messages shell intake baselink processing database history config net hydro
  operators printing signals maintenance)
