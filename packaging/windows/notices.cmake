# The ZIP's licence files, made at configure time as Notepad reads them best (UTF-8 with a byte
# order mark, CR-LF): LICENSE.txt, Tavrello's own, and THIRD-PARTY-NOTICES.txt, for what is
# linked in statically: TagLib (its Debian copyright file and the MPL-1.1 text, from
# scripts/build-taglib-mingw.sh), the mingw-w64 runtime (Debian's copyright file of the
# package) and GCC's Runtime Library Exception.
set(TAV_NOTICE_INPUTS ${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_LIST_DIR}/ThirdPartyNotices.txt.in
    ${TAV_TAGLIB_MINGW_DIR}/VERSION ${TAV_TAGLIB_MINGW_DIR}/copyright
    ${TAV_TAGLIB_MINGW_DIR}/COPYING.MPL /usr/share/doc/mingw-w64-x86-64-dev/copyright
    /usr/share/doc/gcc-mingw-w64-base/copyright)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAV_NOTICE_INPUTS})

file(STRINGS ${TAV_TAGLIB_MINGW_DIR}/VERSION TAV_TAGLIB_VERSION LIMIT_COUNT 1)
execute_process(COMMAND dpkg-query -W -f=\${Version} mingw-w64-x86-64-dev
                OUTPUT_VARIABLE TAV_MINGW_VERSION COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND dpkg-query -W -f=\${Version} g++-mingw-w64-x86-64-posix
                OUTPUT_VARIABLE TAV_GXX_VERSION COMMAND_ERROR_IS_FATAL ANY)

# Writes TEXT to FILE in the ZIP folder of the build, with a byte order mark and CR-LF.
function(tav_write_notice file text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  string(ASCII 239 187 191 bom)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/zip/${file} "${bom}${text}")
endfunction()

# "== TITLE ==" and the file's text.
function(tav_notice_section out title path)
  file(READ ${path} text)
  set(${out} "${${out}}\n\n== ${title} ==\n\n${text}" PARENT_SCOPE)
endfunction()

file(READ ${PROJECT_SOURCE_DIR}/LICENSE TAV_LICENSE)
tav_write_notice(LICENSE.txt "${TAV_LICENSE}")

file(READ ${CMAKE_CURRENT_LIST_DIR}/ThirdPartyNotices.txt.in TAV_NOTICES)
string(CONFIGURE "${TAV_NOTICES}" TAV_NOTICES @ONLY)
tav_notice_section(TAV_NOTICES "TagLib: copyright (Debian's copyright file of taglib)"
                   ${TAV_TAGLIB_MINGW_DIR}/copyright)
tav_notice_section(TAV_NOTICES "TagLib: Mozilla Public License 1.1" ${TAV_TAGLIB_MINGW_DIR}/COPYING.MPL)
tav_notice_section(TAV_NOTICES "mingw-w64 runtime (Debian's copyright file of mingw-w64-x86-64-dev)"
                   /usr/share/doc/mingw-w64-x86-64-dev/copyright)
file(READ /usr/share/doc/gcc-mingw-w64-base/copyright TAV_GCC_COPYRIGHT)
string(REGEX MATCH "GCC RUNTIME LIBRARY EXCEPTION.*the license of GCC\\." TAV_GCC_EXCEPTION
       "${TAV_GCC_COPYRIGHT}")
if(NOT TAV_GCC_EXCEPTION)
  message(FATAL_ERROR "No GCC Runtime Library Exception in gcc-mingw-w64-base's copyright file")
endif()
string(APPEND TAV_NOTICES "\n\n== GCC runtime libraries ==\n\n${TAV_GCC_EXCEPTION}\n")
tav_write_notice(THIRD-PARTY-NOTICES.txt "${TAV_NOTICES}")
