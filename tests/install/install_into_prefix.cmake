# cmake -DBUILD_DIR=… -DPREFIX=… -P install_into_prefix.cmake: a fresh install of the build
# tree into PREFIX, so that nothing a previous run left there can hide a missing rule.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
