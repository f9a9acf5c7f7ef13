# Writes the page with MEDIA_KEY: a hash of all that decides the pictures'
# bytes (the generator's code, the catalogue, how the page builds them), so
# pictures a browser kept from another build are never taken for these.
# Run at build time, as the sources change between configures.
file(GLOB drawn ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.h)
list(APPEND drawn ${SOURCE_DIR}/src/game/core/Catalogue.h ${SOURCE_DIR}/src/game/core/Picture.h
     ${SOURCE_DIR}/src/web/WebMedia.cpp ${SOURCE_DIR}/web/Web.cmake)
list(SORT drawn)
set(all "${COMPILER}")
foreach(f ${drawn})
  file(SHA256 ${f} one)
  file(RELATIVE_PATH name ${SOURCE_DIR} ${f})
  string(APPEND all "\n${name} ${one}")
endforeach()
string(SHA256 MEDIA_KEY "${all}")
configure_file(${SOURCE_DIR}/web/index.html ${OUT} @ONLY)
