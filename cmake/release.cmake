# The zip that Windows users download, made by cpack in the tree of the shipped program
# (build/win32/product, where the win32 preset runs it after every build):
#   filecut-<version>-win32.zip   holding, with no folder around them (Windows' "Extract All"
#                                 makes the folder, named after the zip)
#     filecut.exe     the program, as built here (stripped, reproducible)
#     guide-ja.txt    the guide in Japanese, from docs/guide-ja.txt.in
#     LICENSE.txt     the licence
#     README.md       the developers' README
#   filecut-<version>-win32.zip.sha256   its SHA-256 sum
# The texts get Windows line ends: Notepad before Windows 10 shows a file with bare line feeds
# as one line. The guide is UTF-16LE with a byte order mark, the form that Notepad calls
# "Unicode" and recognises on every Windows from XP on, whatever the system's code page.
# Every entry of the zip carries the time of the commit (cmake/release-time.cmake), so that
# the zip, like filecut.exe, is the same for every build of one commit; cpack is run with TZ=UTC,
# as the zip's DOS times are local times. (The zip also records the owner's numeric user and
# group, which cpack of CMake 3.25 cannot set: builds compared must run as the same user.)
set(FILECUT_RELEASE_TEXTS ${CMAKE_CURRENT_BINARY_DIR}/release-texts)
file(MAKE_DIRECTORY ${FILECUT_RELEASE_TEXTS})

# Copies a text file with CRLF line ends; the copy follows its source at the next configure.
function(filecut_crlf_copy source destination)
  file(READ ${source} text)  # CMake reads CRLF as LF
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
filecut_crlf_copy(${CMAKE_SOURCE_DIR}/LICENSE ${FILECUT_RELEASE_TEXTS}/LICENSE.txt)
filecut_crlf_copy(${CMAKE_SOURCE_DIR}/README.md ${FILECUT_RELEASE_TEXTS}/README.md)

# The guide states the project's version: configured, given CRLF line ends and its byte order
# mark, then converted from UTF-8 to UTF-16LE (glibc's iconv, which every Debian has).
find_program(FILECUT_ICONV iconv REQUIRED)
file(READ ${CMAKE_SOURCE_DIR}/docs/guide-ja.txt.in guide)
string(CONFIGURE "${guide}" guide @ONLY)
string(REPLACE "\n" "\r\n" guide "${guide}")
string(ASCII 239 187 191 utf8_bom)
file(WRITE ${FILECUT_RELEASE_TEXTS}/guide-ja.bom "${utf8_bom}${guide}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_SOURCE_DIR}/docs/guide-ja.txt.in)
execute_process(
  COMMAND ${FILECUT_ICONV} -f UTF-8 -t UTF-16LE ${FILECUT_RELEASE_TEXTS}/guide-ja.bom
  OUTPUT_FILE ${FILECUT_RELEASE_TEXTS}/guide-ja.txt
  RESULT_VARIABLE iconv_status)
if(NOT iconv_status EQUAL 0)
  message(FATAL_ERROR "iconv could not convert docs/guide-ja.txt.in to UTF-16LE")
endif()

# One component a file: cpack adds the components to the zip in the order of their names,
# where within one component it would follow the order in which the file system lists them.
install(TARGETS filecut RUNTIME DESTINATION . COMPONENT 1-program)
install(FILES ${FILECUT_RELEASE_TEXTS}/guide-ja.txt DESTINATION . COMPONENT 2-guide)
install(FILES ${FILECUT_RELEASE_TEXTS}/LICENSE.txt DESTINATION . COMPONENT 3-licence)
install(FILES ${FILECUT_RELEASE_TEXTS}/README.md DESTINATION . COMPONENT 4-readme)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME filecut)
set(CPACK_PACKAGE_VENDOR "the filecut developers")
set(CPACK_PACKAGE_FILE_NAME filecut-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/release-time.cmake)
set(CPACK_FILECUT_SOURCE_DIR ${CMAKE_SOURCE_DIR})
include(CPack)
