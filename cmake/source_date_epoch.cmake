# The one time that goes into the files players download, so that one commit builds the same
# files byte for byte wherever and whenever it is built: SOURCE_DATE_EPOCH where the builder sets
# it, as reproducible package builds do, or else the time of the last commit.

# Every build checks a SOURCE_DATE_EPOCH that it was given, whether or not it uses it: a value
# that is not a number of seconds stops the build here, before anything is built.
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is '$ENV{SOURCE_DATE_EPOCH}', which is not a number of "
                      "seconds since 1970-01-01 00:00 UTC. Unset it to take the time of the last "
                      "commit, or set it to a time such as the output of git log -1 --format=%ct.")
endif()

# Sets `out` to the time to write into files, in seconds since 1970.
function(source_date_epoch out)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(${out} $ENV{SOURCE_DATE_EPOCH} PARENT_SCOPE)
    return()
  endif()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} RESULT_VARIABLE status
                    OUTPUT_VARIABLE epoch ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  if(NOT GIT_FOUND OR NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "The time to write into the downloads is the last commit's, and "
                        "${PROJECT_SOURCE_DIR} is no git checkout that git can read: set "
                        "SOURCE_DATE_EPOCH to the time of the source's last change.")
  endif()
  set(${out} ${epoch} PARENT_SCOPE)
endfunction()
