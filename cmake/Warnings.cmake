# Every warning is reported everywhere in the project's own code. CI makes them errors; a user's
# build with a newer compiler that warns about something new still builds.
option(KEYLEARN_WERROR "Treat compiler warnings as errors" OFF)
add_compile_options(-Wall -Wextra)
if(KEYLEARN_WERROR)
  add_compile_options(-Werror)
endif()
