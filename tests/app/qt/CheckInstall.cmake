# Installs the build into a scratch prefix and checks that the desktop finds what it needs.
# Arguments: -DBUILD_DIR=... -DPREFIX=...
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path bin/zonbode bin/zonbode-cli bin/psm-listen share/applications/zonbode.desktop
             share/icons/hicolor/32x32/apps/zonbode.png
             share/icons/hicolor/scalable/apps/zonbode.svg share/man/man1/zonbode.1.gz
             share/man/man1/zonbode-cli.1.gz share/man/man1/psm-listen.1.gz)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
file(READ "${PREFIX}/share/applications/zonbode.desktop" entry)
foreach(line "Exec=zonbode" "Icon=zonbode" "Type=Application" "Name=Zonbode")
    string(FIND "${entry}" "\n${line}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "desktop entry lacks ${line}")
    endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "installed layout complete")
