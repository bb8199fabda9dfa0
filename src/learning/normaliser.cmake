# The normaliser of raw captures: no Qt and nothing else of the program, so that irtool and the
# fuzzers (which include this file from their own build) use exactly the code the program runs.
add_library(keylearn_normalise STATIC ${CMAKE_CURRENT_LIST_DIR}/normalise.cpp)
add_library(keylearn::normalise ALIAS keylearn_normalise)
target_include_directories(keylearn_normalise PUBLIC ${KEYLEARN_SOURCE_DIR}/src)
