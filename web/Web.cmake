# The page's build (emcmake): the same game, the web host in src/web in place
# of SDL's, the picture generator linked in to draw the pictures in the page.
set(CMAKE_EXECUTABLE_SUFFIX .js)
add_compile_options(-ffp-contract=off)

# The sources are cmake/Sources.cmake's, which leaves out for the page what
# only the SDL host uses.

# The picture generator is a program of its own, run by the page in workers
# (web/media-worker.js) so that the page never waits on its painting; the
# game's program has none of it. Its main is the native tool's.
set(web_media ${MORVEK_TOOL_SOURCES} src/web/WebMedia.cpp)
list(FILTER web_media EXCLUDE REGEX "/MediaMain\\.cpp$")
add_executable(morvek-media ${web_media})
target_include_directories(morvek-media PRIVATE src tools)
set_target_properties(morvek-media PROPERTIES LINK_DEPENDS ${CMAKE_SOURCE_DIR}/web/media-worker.js)
target_link_options(morvek-media PRIVATE
  --no-entry -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=worker -sFILESYSTEM=0
  --pre-js ${CMAKE_SOURCE_DIR}/web/media-worker.js
  "-sEXPORTED_FUNCTIONS=['_morvek_media_painters','_morvek_media_subject','_morvek_media_weight','_morvek_draw_painter','_morvek_media_name','_morvek_media_file','_morvek_draw_icon','_morvek_media_bytes']"
  "-sEXPORTED_RUNTIME_METHODS=['UTF8ToString']")

# One program of every layer; the game's folder whole, its entry point in
# its sorted place, so the objects keep one order
list(FILTER MORVEK_WEB_SOURCES EXCLUDE REGEX "/WebMedia\\.cpp$")
set(web_game ${MORVEK_GAME_SOURCES} ${MORVEK_HOST_SOURCES} ${MORVEK_MAIN_SOURCE})
list(SORT web_game)
add_executable(morvek ${MORVEK_DISPLAY_SOURCES} ${MORVEK_AUDIO_SOURCES} ${web_game}
               ${MORVEK_PLATFORM_SOURCES} ${MORVEK_UTIL_SOURCES} ${MORVEK_WEB_SOURCES})
# src/web first: its SDL.h stands in for SDL's
target_include_directories(morvek PRIVATE src/web src ${CMAKE_BINARY_DIR}/generated)
target_link_options(morvek PRIVATE
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=134217728
  -sEXIT_RUNTIME=1 -sINVOKE_RUN=0 -sENVIRONMENT=web,node -lidbfs.js
  "-sEXPORTED_FUNCTIONS=['_main','_morvek_mix','_morvek_compose','_morvek_in_play','_morvek_read_picture']"
  "-sEXPORTED_RUNTIME_METHODS=['callMain','FS','IDBFS','ccall','UTF8ToString']")

# The page names the version and the key its pictures are kept under; make
# web copies this index.html, not web/'s.
file(GLOB web_drawn CONFIGURE_DEPENDS tools/*.cpp tools/*.h)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/index.html
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUT=${CMAKE_BINARY_DIR}/index.html
          -DPROJECT_VERSION=${PROJECT_VERSION}
          "-DCOMPILER=${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION}"
          -P ${CMAKE_SOURCE_DIR}/web/Page.cmake
  DEPENDS web/index.html web/Page.cmake web/Web.cmake src/web/WebMedia.cpp
          src/game/core/Catalogue.h src/game/core/Picture.h ${web_drawn}
  COMMENT "Writing the page")
add_custom_target(page ALL DEPENDS ${CMAKE_BINARY_DIR}/index.html)
