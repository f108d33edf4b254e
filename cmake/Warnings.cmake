# Warning set shared by every target of the project.
function(vexlon_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor
    -Wshadow -Wconversion -Wno-sign-conversion)
  if(CMAKE_BUILD_TYPE STREQUAL "Debug")
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
