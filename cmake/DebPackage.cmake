# The Debian package (make deb): the game laid out as Debian keeps games, with
# the copyright, changelog, manual page and AppStream metainfo that lintian and
# software centres look for. Included from CMakeLists.txt with MORVEK_DEB on.
set(MORVEK_MAINTAINER "the Morvek authors <morvek@example.org>"
    CACHE STRING "The package's Maintainer field")
set(MORVEK_APP_ID org.morvek.Morvek)
set(doc share/doc/morvek)

# The package wants only what it ships built, not the test suites.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
add_custom_target(deb-files)
add_dependencies(deb-files morvek media icon)

configure_file(dist/morvek.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${MORVEK_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${MORVEK_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# debian/copyright's machine-readable form, its licence text taken from LICENSE
# (indented one space, blank lines as " .").
file(READ LICENSE licence)
string(FIND "${licence}" "Permission is hereby granted" at)
string(SUBSTRING "${licence}" ${at} -1 licence)
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " licence "${licence}")
file(WRITE ${CMAKE_BINARY_DIR}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Morvek
Comment: The pictures are drawn by the game's own generator (tools/) and are
 covered by the same licence as the code.

Files: *
Copyright: 2026 the Morvek authors
License: Expat
 ${licence}
")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${doc})

# The changelog's date wants its day of the week (Sakamoto's method).
string(REPLACE "-" ";" ymd ${MORVEK_RELEASE_DATE})
list(GET ymd 0 y)
list(GET ymd 1 m)
list(GET ymd 2 d)
math(EXPR m "${m}")
math(EXPR d "${d}")
set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
math(EXPR i "${m} - 1")
list(GET offsets ${i} offset)
if(m LESS 3)
  math(EXPR y "${y} - 1")
endif()
math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${d}) % 7")
set(days Sun Mon Tue Wed Thu Fri Sat)
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET days ${weekday} day)
list(GET months ${i} month)
list(GET ymd 0 y)
list(GET ymd 2 dd)
set(MORVEK_CHANGELOG_DATE "${day}, ${dd} ${month} ${y} 00:00:00 +0000")
configure_file(dist/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)

find_program(GZIP gzip REQUIRED)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/morvek.6.gz ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -DGAME=$<TARGET_FILE:morvek> -DIN=${CMAKE_SOURCE_DIR}/dist/morvek.6.in
          -DOUT=${CMAKE_BINARY_DIR}/morvek.6 -P ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
  COMMAND ${GZIP} -9nf ${CMAKE_BINARY_DIR}/morvek.6
  COMMAND ${GZIP} -9nc ${CMAKE_BINARY_DIR}/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
  DEPENDS morvek dist/morvek.6.in cmake/ManPage.cmake ${CMAKE_BINARY_DIR}/changelog
  COMMENT "Writing the manual page and the changelog")
add_custom_target(deb-docs DEPENDS ${CMAKE_BINARY_DIR}/morvek.6.gz)
add_dependencies(deb-files deb-docs)
install(FILES ${CMAKE_BINARY_DIR}/morvek.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${doc})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvek)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "side-scrolling shoot-'em-up with a young dragon")
set(CPACK_PACKAGE_DESCRIPTION
    "A young dragon crosses three levels of enemy waves and fights the God of
the Winds, the Ice Queen and the Dragon King. Every picture and sound is
made by the game itself. It plays with the keyboard, the mouse or a game
controller.")
# The desktop entry is written while installing and must name /usr, not the
# staging folder: so CPack installs into DESTDIR with the prefix /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MORVEK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
