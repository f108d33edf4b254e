# Puts the user's data files beside the executables when they are missing:
# copies each of FILES ("|"-separated, relative) from STAGE to TARGET unless
# TARGET already holds it, and creates each folder of DIRS under TARGET.
# Files that are there are the user's and are left as they are.
string(REPLACE "|" ";" files "${FILES}")
string(REPLACE "|" ";" dirs "${DIRS}")
foreach(d ${dirs})
  file(MAKE_DIRECTORY "${TARGET}/${d}")
endforeach()
foreach(f ${files})
  if(NOT EXISTS "${TARGET}/${f}")
    get_filename_component(folder "${TARGET}/${f}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${STAGE}/${f}" "${TARGET}/${f}")
    message(STATUS "Created ${TARGET}/${f}")
  endif()
endforeach()
