# The page's build (emcmake): the same game, the web host in src/web in place
# of SDL's, the picture generator linked in to draw the pictures in the page.
set(CMAKE_EXECUTABLE_SUFFIX .js)
add_compile_options(-ffp-contract=off)

file(GLOB WEB_DISPLAY CONFIGURE_DEPENDS src/display/*.cpp)
list(FILTER WEB_DISPLAY EXCLUDE REGEX "/(SdlHost|PadMap|X11Watch)\\.cpp$")
file(GLOB WEB_AUDIO CONFIGURE_DEPENDS src/audio/*.cpp)
list(FILTER WEB_AUDIO EXCLUDE REGEX "/Device\\.cpp$")
file(GLOB_RECURSE WEB_GAME CONFIGURE_DEPENDS src/game/*.cpp src/host/*.cpp)
file(GLOB WEB_UTIL CONFIGURE_DEPENDS src/util/*.cpp src/platform/*.cpp)
list(FILTER WEB_UTIL EXCLUDE REGEX "Windows\\.cpp$")
file(GLOB WEB_HOST CONFIGURE_DEPENDS src/web/*.cpp)
file(GLOB WEB_TOOLS CONFIGURE_DEPENDS tools/*.cpp)

# The generator keeps its own includes and its main under another name.
add_library(morvek_web_media STATIC ${WEB_TOOLS})
target_include_directories(morvek_web_media PRIVATE src tools)
set_source_files_properties(tools/MediaMain.cpp PROPERTIES COMPILE_DEFINITIONS main=morvek_media_main)

add_executable(morvek ${WEB_DISPLAY} ${WEB_AUDIO} ${WEB_GAME} ${WEB_UTIL} ${WEB_HOST})
# src/web first: its SDL.h stands in for SDL's
target_include_directories(morvek PRIVATE src/web src ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(morvek PRIVATE morvek_web_media)
target_link_options(morvek PRIVATE
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=134217728
  -sEXIT_RUNTIME=1 -sINVOKE_RUN=0 -sENVIRONMENT=web,node -lidbfs.js
  "-sEXPORTED_FUNCTIONS=['_main','_morvek_draw_media','_morvek_mix','_morvek_compose']"
  "-sEXPORTED_RUNTIME_METHODS=['callMain','FS','IDBFS','ccall','UTF8ToString']")

# The page names the version; make web copies this index.html, not web/'s.
configure_file(web/index.html ${CMAKE_BINARY_DIR}/index.html @ONLY)
