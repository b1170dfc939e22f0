# Configures the game with a SOURCE_DATE_EPOCH that is no number of seconds, as a broken build
# environment might give it, and checks that the configure stops at once and says why, leaving
# nothing to build.
# Run as: cmake -DSOURCE=<source tree> -DWORK=<scratch folder> -P bad_source_date_epoch.cmake
foreach(value "yesterday" "1702200000.5" "-1")
  file(REMOVE_RECURSE ${WORK})
  set(ENV{SOURCE_DATE_EPOCH} "${value}")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK} -DBUILD_TESTING=OFF
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(status EQUAL 0)
    message(FATAL_ERROR "SOURCE_DATE_EPOCH='${value}' was taken:\n${out}")
  endif()
  string(FIND "${err}" "SOURCE_DATE_EPOCH is '${value}', which is not a number" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "SOURCE_DATE_EPOCH='${value}' stopped the configure without saying why:\n${err}")
  endif()
  if(EXISTS ${WORK}/Makefile OR EXISTS ${WORK}/build.ninja)
    message(FATAL_ERROR "SOURCE_DATE_EPOCH='${value}' left a build behind in ${WORK}")
  endif()
  message("SOURCE_DATE_EPOCH='${value}': stopped, as it should")
endforeach()
