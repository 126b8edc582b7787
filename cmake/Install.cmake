# What `cmake --install` puts in place: the programs in bin/, and under share/ the message
# catalogues, the desktop entry that opens .hex files with Quorvel, the file type it names and
# the icon our build draws. Targets that are not part of this build are left out.
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
