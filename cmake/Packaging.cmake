# The Debian package: `cpack -G DEB` from a Release build (scripts/package,
# presets `package`). Off in ordinary builds, so a plain `cmake --install`
# stays as it was, bar the desktop program's man page.

# The desktop program's man page, beside the command-line tool's.
if(TARGET daraz-gui)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/daraz-gui.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

option(DARAZ_PACKAGE "Install the Debian package's files and set up CPack" OFF)
if(NOT DARAZ_PACKAGE)
  return()
endif()

set(DARAZ_PACKAGE_MAINTAINER "The Daraz developers <daraz@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(daraz_pkg_src ${PROJECT_SOURCE_DIR}/packaging)
set(daraz_pkg_out ${PROJECT_BINARY_DIR}/packaging)

# Dates written into the package follow SOURCE_DATE_EPOCH when it is set, so
# the same commit gives the same files.
string(TIMESTAMP daraz_pkg_changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(TIMESTAMP daraz_pkg_release_date "%Y-%m-%d" UTC)
configure_file(${daraz_pkg_src}/changelog.in ${daraz_pkg_out}/changelog @ONLY)

# Debian wants man pages and changelogs compressed, without a timestamp in
# the gzip header. Runs after the rules above it (install rules run in the
# order they were declared, subdirectories included).
function(daraz_gzip_installed path)
  install(CODE "
    set(f \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${path}\")
    execute_process(COMMAND gzip -9nf \"\${f}\" COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${f}.gz\")
  ")
endfunction()

daraz_gzip_installed(${CMAKE_INSTALL_MANDIR}/man1/daraz.1)
if(TARGET daraz-gui)
  daraz_gzip_installed(${CMAKE_INSTALL_MANDIR}/man1/daraz-gui.1)
endif()

install(FILES ${daraz_pkg_src}/copyright ${daraz_pkg_src}/README.Debian
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${daraz_pkg_out}/changelog DESTINATION ${CMAKE_INSTALL_DOCDIR})
daraz_gzip_installed(${CMAKE_INSTALL_DOCDIR}/changelog)

if(TARGET daraz-gui)
  configure_file(${daraz_pkg_src}/daraz-gui.metainfo.xml.in
                 ${daraz_pkg_out}/daraz-gui.metainfo.xml @ONLY)
  install(FILES ${daraz_pkg_out}/daraz-gui.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME daraz)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Daraz developers")
set(CPACK_PACKAGE_CONTACT ${DARAZ_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "device programmer for EPROMs, flash and microcontrollers on a parallel port")
# Read here rather than through CPACK_PACKAGE_DESCRIPTION_FILE, which CPack
# XML-escapes (an apostrophe would reach the control file as &apos;).
file(READ ${daraz_pkg_src}/description.txt CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DARAZ_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps sees only linked libraries. Qt loads its window-system
# plugin at run time, and without it the desktop program cannot open a window.
if(TARGET daraz-gui)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
