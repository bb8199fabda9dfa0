# Every warning is reported everywhere in the project's own code. CI makes them errors; a user's
# build with a newer compiler that warns about something new still builds.
option(KEYLEARN_WERROR "Treat compiler warnings as errors" OFF)
# -Wshadow: a local or parameter that hides a member or an outer name is a mistake waiting to
# happen. -Wconversion stays off: across the byte-level device and signal code it would ask for
# a cast on nearly every line, and the casts would hide the few conversions that matter.
add_compile_options(-Wall -Wextra -Wshadow)
if(KEYLEARN_WERROR)
  add_compile_options(-Werror)
endif()
