# Installs the build into a scratch root and checks that exactly the game and its data land there.
# Run as: cmake -DBUILD_DIR=... -DCONFIG=... -DSTAGE=... -DVERSION=... -DSOURCE_DIR=... -P check_install.cmake

set(failures "")
macro(fail message)
  string(APPEND failures "  ${message}\n")
endmacro()

file(REMOVE_RECURSE ${STAGE})
set(ENV{DESTDIR} ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --config ${CONFIG} --prefix /usr
                OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

# The Debian package installs this same tree: a test or benchmark program that gains an install
# rule, or a data file that loses one, shows up here first.
set(expected
    usr/games/vir-urad-izuva
    usr/share/applications/net.virurad.VirUradIzuva.desktop
    usr/share/icons/hicolor/scalable/apps/net.virurad.VirUradIzuva.svg
    usr/share/man/man6/vir-urad-izuva.6
    usr/share/metainfo/net.virurad.VirUradIzuva.metainfo.xml)
file(GLOB_RECURSE installed RELATIVE ${STAGE} ${STAGE}/*)
list(SORT installed)
if(NOT installed STREQUAL expected)
  fail("installed files differ:\n    got ${installed}")
endif()

# The menu entry names the game and icon only by name; both must be what was installed.
file(STRINGS ${STAGE}/usr/share/applications/net.virurad.VirUradIzuva.desktop exec REGEX "^Exec=")
file(STRINGS ${STAGE}/usr/share/applications/net.virurad.VirUradIzuva.desktop icon REGEX "^Icon=")
if(NOT exec STREQUAL "Exec=vir-urad-izuva")
  fail("desktop entry runs '${exec}'")
endif()
if(NOT icon STREQUAL "Icon=net.virurad.VirUradIzuva")
  fail("desktop entry shows '${icon}'")
endif()

# A version bump must come with a release note in both places the package shows it.
file(READ ${SOURCE_DIR}/debian/changelog changelog)
string(REGEX MATCH "^vir-urad-izuva \\(([^)]*)\\)" _ "${changelog}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  fail("latest Debian changelog entry is '${CMAKE_MATCH_1}', the game is ${VERSION}")
endif()
file(READ ${STAGE}/usr/share/metainfo/net.virurad.VirUradIzuva.metainfo.xml metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\"" _ "${metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  fail("newest metainfo release is '${CMAKE_MATCH_1}', the game is ${VERSION}")
endif()

# The game has no web site or mail address: every address the package carries must exist, or
# be plainly a placeholder for whoever ships it.
set(text "${changelog}${metainfo}")
foreach(file ${STAGE}/usr/share/applications/net.virurad.VirUradIzuva.desktop
             ${STAGE}/usr/share/man/man6/vir-urad-izuva.6 ${SOURCE_DIR}/debian/copyright
             ${SOURCE_DIR}/debian/control)
  file(READ ${file} content)
  string(APPEND text "${content}")
endforeach()
string(REGEX MATCHALL "[a-z]+://[^ \t\n<>\"]+" urls "${text}")
list(REMOVE_ITEM urls https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/)
if(urls)
  fail("addresses that do not exist: ${urls}")
endif()
string(REGEX MATCHALL "[A-Za-z0-9._-]+@[A-Za-z0-9.-]+" mail "${text}")
list(FILTER mail EXCLUDE REGEX "@example\\.invalid$")
if(mail)
  fail("mail addresses that are no placeholder: ${mail}")
endif()

if(failures)
  message(FATAL_ERROR "Install tree check failed:\n${failures}")
endif()
