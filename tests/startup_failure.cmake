# Starts the game where Qt cannot start and checks what the player is told.
# Run as: cmake -DGAME=<path of the game> -DCASE=<case> -P startup_failure.cmake, where the case is
#   no_display             neither an X display nor a Wayland compositor is named
#   no_wayland_compositor  the Wayland compositor named is not running
#   broken_platform        Qt's platform plugin is missing, as in a broken installation
foreach(variable DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE QT_DEBUG_PLUGINS
                 QT_LOGGING_RULES QT_MESSAGE_PATTERN)
  unset(ENV{${variable}})
endforeach()
if(CASE STREQUAL "no_wayland_compositor")
  set(ENV{QT_QPA_PLATFORM} wayland)
  set(ENV{WAYLAND_DISPLAY} no-such-compositor)
  set(ENV{XDG_RUNTIME_DIR} ${CMAKE_CURRENT_BINARY_DIR})
elseif(CASE STREQUAL "broken_platform")
  # A platform plugin that is not installed stands for any broken installation.
  set(ENV{QT_QPA_PLATFORM} no-such-platform)
endif()

execute_process(COMMAND ${GAME} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
                TIMEOUT 30)
if(NOT status EQUAL 1)
  message(FATAL_ERROR "exit status ${status}, expected 1; it printed:\n${out}${err}")
endif()

set(sentence "Vir Urad Izuva? needs a graphical display, and none could be opened.\n")
if(NOT CASE STREQUAL "broken_platform")
  if(NOT "${out}${err}" STREQUAL sentence)
    message(FATAL_ERROR "expected only the sentence, it printed:\n${out}${err}")
  endif()
else()
  # Qt's own diagnosis and the messages that led to it, and no claim of a missing display.
  foreach(expected [[Could not find the Qt platform plugin "no-such-platform"]]
                   "no Qt platform plugin could be initialized")
    string(FIND "${err}" "${expected}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "Qt's message '${expected}' is missing; it printed:\n${out}${err}")
    endif()
  endforeach()
  string(FIND "${err}" "needs a graphical display" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "blames a missing display for a broken installation:\n${err}")
  endif()
endif()
