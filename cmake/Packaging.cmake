# The packages, made from this project by scripts/package.sh:
#   Linux build:   cpack -G DEB                  -> zonbode_VERSION_amd64.deb
#   Windows build: cmake --build . --target setup -> zonbode-VERSION-win64-setup.exe
# Both take the files of every install() rule, stripped; build everything first.

if(WIN32)
    # NSIS from our own script (packaging/zonbode.nsi): a 64-bit setup, the Run-key choice and
    # an uninstaller that leaves the user's settings alone. The installed files are staged with
    # `cmake --install --strip` and listed for the script by SetupFileList.cmake.
    find_program(ZONBODE_MAKENSIS makensis)
    set(setup_dir "${CMAKE_BINARY_DIR}/setup")
    set(setup_file "${CMAKE_BINARY_DIR}/zonbode-${PROJECT_VERSION}-win64-setup.exe")
    if(ZONBODE_MAKENSIS)
        set(make_setup ${ZONBODE_MAKENSIS} -V2 -WX -DVERSION=${PROJECT_VERSION}
            -DFILES=${setup_dir}/files.nsh -DOUTFILE=${setup_file}
            -DICON=${ZONBODE_DATA_DIR}/icons/zonbode.ico ${PROJECT_SOURCE_DIR}/packaging/zonbode.nsi)
    else()
        set(make_setup ${CMAKE_COMMAND} -E echo "makensis not found: install nsis" COMMAND false)
    endif()
    add_custom_target(setup
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${setup_dir}
        COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${setup_dir}/stage --strip
        COMMAND ${CMAKE_COMMAND} -DSTAGE=${setup_dir}/stage -DOUTPUT=${setup_dir}/files.nsh
                -P ${PROJECT_SOURCE_DIR}/cmake/SetupFileList.cmake
        COMMAND ${make_setup}
        BYPRODUCTS ${setup_file}
        COMMENT "Making ${setup_file}"
        VERBATIM)
    return()
endif()

# The Debian package's own documents.
set(ZONBODE_DEB_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/zonbode")
string(TIMESTAMP ZONBODE_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ZONBODE_MAINTAINER "Zonbode maintainers <maintainers@users.noreply.c-seed-ee126fff.example>"
    CACHE STRING "The Maintainer of the Debian package")
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog
               @ONLY)
execute_process(COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/packaging/changelog COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${ZONBODE_DEB_DOC_DIR})
# A manual page for each program, compressed as Debian keeps them.
foreach(program zonbode zonbode-cli zonbode-demo-server zonbode-gateway psm-listen)
    if(TARGET ${program})
        set(VERSION ${PROJECT_VERSION})
        configure_file(${PROJECT_SOURCE_DIR}/packaging/man/${program}.1
                       ${CMAKE_BINARY_DIR}/packaging/man/${program}.1 @ONLY)
        execute_process(COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/packaging/man/${program}.1
                        COMMAND_ERROR_IS_FATAL ANY)
        install(FILES ${CMAKE_BINARY_DIR}/packaging/man/${program}.1.gz
                DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME zonbode)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zonbode)
set(CPACK_PACKAGE_VENDOR Kavelo)
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Zonbode shows the seven-day weather forecast for a place of your choice,\n"
    "from the KNMI's own model (the Netherlands' weather institute) through\n"
    "Open-Meteo, one row per day, and turns the day you pick, or every day in\n"
    "turn, into a short status text through a template of your own. The text\n"
    "becomes your status message in Pidgin or Finch, in Slack, and in other\n"
    "messengers on the same desktop (over D-Bus). The window is in Dutch.\n"
    "\n"
    "The package also holds zonbode-gateway (a live forecast from Open-Meteo,\n"
    "served on this machine as the page Zonbode reads, with a systemd user\n"
    "unit), zonbode-cli (the forecast parser and the status text on the\n"
    "command line), zonbode-demo-server (a local forecast page to try it with)\n"
    "and psm-listen (prints the status records a messenger would receive).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZONBODE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Besides the libraries: the window's font, Qt's plugin for the X11 and Wayland screens, which
# libqt6gui6 only recommends, and the CA store the gateway's HTTPS needs (libcurl only
# recommends it).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-qpa-plugins, ca-certificates")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
