# Installation of the Linux program and its Debian package.
# `cmake --install` puts the program in bin/, its launcher in
# share/applications/ and its icons in the hicolor theme; `cpack` (DEB) wraps
# the same files for Debian 12.
if(WIN32 OR NOT TARGET tamsel)
  return()
endif()

include(GNUInstallDirs)

install(TARGETS tamsel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tamsel)

# The launcher names the installed program by its absolute path, so it is
# written at install time, when the prefix is known.
install(CODE "
  set(TAMSEL_DESKTOP_TEMPLATE \"${PROJECT_SOURCE_DIR}/res/tamsel.desktop.in\")
  set(TAMSEL_DESKTOP_WORK \"${CMAKE_BINARY_DIR}/packaging\")
  set(TAMSEL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(TAMSEL_APPLICATIONS_DIR \"${CMAKE_INSTALL_DATADIR}/applications\")
  include(\"${PROJECT_SOURCE_DIR}/cmake/InstallDesktopEntry.cmake\")
" COMPONENT tamsel)

# Icons in the sizes drawn for the program, as the theme's "tamsel".
foreach(size 16 32 48 64 128 256)
  set(icon ${PROJECT_SOURCE_DIR}/res/tamsel-${size}.png)
  if(EXISTS ${icon})
    install(FILES ${icon} RENAME tamsel.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            COMPONENT tamsel)
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tamsel
        COMPONENT tamsel)

# The Debian package: only the program's own files, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamsel)
set(CPACK_PACKAGE_VENDOR "Tamsel")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drop files or folders on a small window to back them up")
set(CPACK_PACKAGE_DESCRIPTION
    "Tamsel keeps a small always-on-top window beside the file manager. Each file or\n"
    "folder dropped on it is backed up at once, as a dated plain copy or a dated ZIP\n"
    "archive, into a backup folder beside the item or under a folder of your choice.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tamsel.github.io/")
set(CPACK_PACKAGE_CONTACT "Tamsel developers <tamsel@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL tamsel)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from dpkg-shlibdeps (Qt 6 Widgets, zlib, the C++
# runtime); Qt loads its display plugins at run time, which no link shows.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
