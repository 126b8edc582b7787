# What `cmake --install` puts in place: the programs in bin/, and under share/ the message
# catalogues, the desktop entry that opens .hex files with Quorvel, the file type it names, the
# icon our build draws, the manual pages, the copyright and the change log. Targets that are
# not part of this build are left out. The Debian package (cmake/Package.cmake) is this tree
# under /usr.
include(GNUInstallDirs)

install(TARGETS quorvel quorvel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quorvel-board)
  install(TARGETS quorvel-board RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET cport_catalogues)
  install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/locale/ DESTINATION ${CMAKE_INSTALL_LOCALEDIR})
endif()

# The mark of an install: the programs find it beside their bin folder and keep the user's
# files in the user's folders (src/common/ProgramFolders.h).
install(FILES ${CMAKE_SOURCE_DIR}/share/installed DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel)

install(FILES ${CMAKE_SOURCE_DIR}/share/quorvel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/share/quorvel-hex.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
foreach(size IN LISTS QUORVEL_ICON_SIZES)
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}/quorvel.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The manual pages and the change log carry the version of this build; they go out compressed,
# as man and Debian's rules expect (-n: no name or time stamp inside, so equal builds give
# equal files).
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(QUORVEL_PACKAGE_MAINTAINER "Quorvel developers <quorvel@example.org>"
    CACHE STRING "The maintainer named in the Debian package and its change log")
# The change log's date is the build's (or SOURCE_DATE_EPOCH's, for a reproducible build).
string(TIMESTAMP QUORVEL_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(QUORVEL_MANUAL_PAGES quorvel quorvel-cli quorvel-board)
set(compressed)
foreach(page IN LISTS QUORVEL_MANUAL_PAGES)
  configure_file(${CMAKE_SOURCE_DIR}/share/man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  list(APPEND compressed ${CMAKE_BINARY_DIR}/man/${page}.1)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/share/doc/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
list(APPEND compressed ${CMAKE_BINARY_DIR}/doc/changelog)
set(compressed_files)
foreach(file IN LISTS compressed)
  add_custom_command(OUTPUT ${file}.gz
    COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${file} > ${file}.gz
    DEPENDS ${file}
    COMMENT "Compressing ${file}")
  list(APPEND compressed_files ${file}.gz)
endforeach()
add_custom_target(quorvel_documents ALL DEPENDS ${compressed_files})

foreach(page IN LISTS QUORVEL_MANUAL_PAGES)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# GNUInstallDirs would name the folder after the project, "Quorvel"; Debian wants the package's.
install(FILES ${CMAKE_SOURCE_DIR}/share/doc/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvel)
