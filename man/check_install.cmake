# cmake -D BUILD_DIR=... -D BINDIR=bin -D MANDIR=share/man -P check_install.cmake
# Installs the build into a scratch prefix, checks that the program and its manual page land
# where a user looks for them, and that the page renders without a warning.
set(prefix ${BUILD_DIR}/install-check)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

set(program ${prefix}/${BINDIR}/gridtake)
set(page ${prefix}/${MANDIR}/man6/gridtake.6)
if(NOT EXISTS ${program} OR IS_DIRECTORY ${program})
  message(FATAL_ERROR "the program is not installed as ${program}")
endif()
if(NOT EXISTS ${page})
  message(FATAL_ERROR "the manual page is not installed as ${page}")
endif()

find_program(GROFF groff)
if(NOT GROFF)
  message(STATUS "groff not found (Debian package groff-base): the page's rendering is not checked")
  return()
endif()
execute_process(COMMAND ${GROFF} -man -Tutf8 -ww -P-cbou ${page}
  RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE warnings)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "groff could not render ${page} cleanly (${status}):\n${warnings}")
endif()
foreach(section NAME SYNOPSIS DESCRIPTION RULES KEYS "EXIT STATUS")
  string(FIND "${text}" "\n${section}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the manual page has no ${section} section")
  endif()
endforeach()
foreach(status 0 1 129 131 143)
  string(REGEX MATCH "\n +${status} +[A-Za-z]" found "${text}")
  if(found STREQUAL "")
    message(FATAL_ERROR "the manual page does not give the exit status ${status}")
  endif()
endforeach()
