# The sources of each library, for the native, Windows and browser builds
# alike: one glob per folder, so a new file joins its library without an edit
# here. What a platform leaves out is named below, by file.
#   MORVEK_<LIB>_SOURCES  for DISPLAY, UTIL, PLATFORM, GAME, HOST (the loop,
#                         without Main.cpp), AUDIO, WEB (the browser's host)
#                         and TOOL (the
#                         picture generator)
#   MORVEK_MAIN_SOURCE    the entry point
get_filename_component(morvek_root ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
file(GLOB MORVEK_DISPLAY_SOURCES CONFIGURE_DEPENDS ${morvek_root}/src/display/*.cpp)
file(GLOB MORVEK_UTIL_SOURCES CONFIGURE_DEPENDS ${morvek_root}/src/util/*.cpp)
file(GLOB MORVEK_PLATFORM_SOURCES CONFIGURE_DEPENDS ${morvek_root}/src/platform/*.cpp)
file(GLOB_RECURSE MORVEK_GAME_SOURCES CONFIGURE_DEPENDS ${morvek_root}/src/game/*.cpp)
file(GLOB MORVEK_AUDIO_SOURCES CONFIGURE_DEPENDS ${morvek_root}/src/audio/*.cpp)
file(GLOB MORVEK_HOST_SOURCES CONFIGURE_DEPENDS ${morvek_root}/src/host/*.cpp)
file(GLOB MORVEK_WEB_SOURCES CONFIGURE_DEPENDS ${morvek_root}/src/web/*.cpp)
file(GLOB MORVEK_TOOL_SOURCES CONFIGURE_DEPENDS ${morvek_root}/tools/*.cpp)

# Apart from the hosts' library, so that tests and the bench link the loop too
set(MORVEK_MAIN_SOURCE ${morvek_root}/src/host/Main.cpp)
list(REMOVE_ITEM MORVEK_HOST_SOURCES ${MORVEK_MAIN_SOURCE})

# What the game needs of the system beyond SDL: *Posix.cpp (the browser's
# too), or *Windows.cpp
if(WIN32)
  list(FILTER MORVEK_PLATFORM_SOURCES EXCLUDE REGEX "Posix\\.cpp$")
else()
  list(FILTER MORVEK_PLATFORM_SOURCES EXCLUDE REGEX "Windows\\.cpp$")
endif()
# Requests to the leaderboard: libcurl on Linux, WinHTTP on Windows, both on
# a thread of their own (HttpWorker); the browser's fetch in the page
if(EMSCRIPTEN)
  list(FILTER MORVEK_PLATFORM_SOURCES EXCLUDE REGEX "/Http(Curl|WinHttp|Worker)\\.cpp$")
elseif(WIN32)
  list(FILTER MORVEK_PLATFORM_SOURCES EXCLUDE REGEX "/Http(Curl|Fetch)\\.cpp$")
else()
  list(FILTER MORVEK_PLATFORM_SOURCES EXCLUDE REGEX "/Http(WinHttp|Fetch)\\.cpp$")
endif()

# The browser has src/web in place of SDL's window, pads and sound device
if(EMSCRIPTEN)
  list(FILTER MORVEK_DISPLAY_SOURCES EXCLUDE REGEX "/(SdlHost|PadMap|X11Watch)\\.cpp$")
  list(FILTER MORVEK_AUDIO_SOURCES EXCLUDE REGEX "/Device\\.cpp$")
endif()
unset(morvek_root)
