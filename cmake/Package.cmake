# The Debian package (scripts/package): what cmake --install puts in place, under /usr, with
# the dependencies that dpkg-shlibdeps reads from the programs. The version is the project's.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "${QUORVEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUORVEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The first line is the synopsis; CPack indents the rest and turns the empty line into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "upload firmware from Intel HEX files to a board's serial bootloader
Quorvel takes a firmware image from an Intel HEX file and uploads it, byte by
byte, over a serial port to the resident UART bootloader of the Vantora board
(a PIC18 microcontroller board).

The package holds the window (quorvel), its command-line companion
(quorvel-cli: port list, image conversion, upload) and a virtual board on a
pseudo-terminal (quorvel-board), to try an upload without a board.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the programs load at run time rather than link: Qt's platform plugins (the window
# cannot open without them), and the faces the window's layout was measured in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wine, fonts-dejavu-core, fonts-dejavu-extra")
set(CPACK_STRIP_FILES ON)
# Folders as Debian wants them, whatever the umask of the one who builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
