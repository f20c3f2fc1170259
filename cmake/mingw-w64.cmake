# Cross build for 64-bit Windows with mingw-w64 (posix thread model, so std::thread and
# std::mutex work), tested under wine:
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZONBODE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZONBODE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZONBODE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZONBODE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZONBODE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs every Windows test executable under wine, in a wine prefix inside the build
# directory (ZONBODE_WINEPREFIX in the environment overrides it).
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine-emulator.sh ${CMAKE_BINARY_DIR}/wineprefix)

