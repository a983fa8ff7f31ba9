# mp3infp.dll: TagLib as cross-built by scripts/build-taglib-mingw.sh, static, as are the C and
# C++ runtimes (the build's -static), so the DLL needs nothing beside it but Windows itself. It
# lands in tagplugin/ of the build folder: bin/ holds the tests' stand-in of the same name.
set(TAV_TAGLIB_MINGW_DIR ${PROJECT_SOURCE_DIR}/build/taglib-mingw/install
    CACHE PATH "TagLib for MinGW-w64, from scripts/build-taglib-mingw.sh")
if(NOT EXISTS ${TAV_TAGLIB_MINGW_DIR}/lib/libtag.a)
  message(FATAL_ERROR "No TagLib for MinGW-w64 in ${TAV_TAGLIB_MINGW_DIR}: "
                      "run scripts/build-taglib-mingw.sh (scripts/test-windows.sh does)")
endif()

add_library(tav_taglib_mingw STATIC IMPORTED GLOBAL)
set_target_properties(tav_taglib_mingw PROPERTIES
  IMPORTED_LOCATION ${TAV_TAGLIB_MINGW_DIR}/lib/libtag.a
  INTERFACE_INCLUDE_DIRECTORIES ${TAV_TAGLIB_MINGW_DIR}/include
  INTERFACE_COMPILE_DEFINITIONS TAGLIB_STATIC)

add_library(mp3infp SHARED mp3infp_win32.cpp loaded_tags.cpp tag_reader.cpp
                           system_text_win32.cpp)
set_target_properties(mp3infp PROPERTIES PREFIX "" OUTPUT_NAME mp3infp
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tagplugin
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_include_directories(mp3infp PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(mp3infp PRIVATE tav_taglib_mingw)
tav_warnings(mp3infp)
