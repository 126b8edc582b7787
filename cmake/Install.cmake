# What `cmake --install` puts in place: the programs in bin/, and under share/ the message
# catalogues, the desktop entry that opens .hex files with Quorvel, the file type it names, the
# icon our build draws and the manual pages. Targets that are not part of this build are left
# out.
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

# The manual pages carry the version of this build; they go out compressed, as man and
# Debian's rules expect (-n: no name or time stamp inside, so equal builds give
# equal files).
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(QUORVEL_MANUAL_PAGES quorvel quorvel-cli quorvel-board)
set(compressed)
foreach(page IN LISTS QUORVEL_MANUAL_PAGES)
  configure_file(${CMAKE_SOURCE_DIR}/share/man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  list(APPEND compressed ${CMAKE_BINARY_DIR}/man/${page}.1)
endforeach()
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
