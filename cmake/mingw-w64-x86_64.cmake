# Cross-building the core, pelvaro-cli and their tests for 64-bit Windows with
# Debian's mingw-w64 (the "posix" thread model, which std::thread and
# std::filesystem need). Programs run through Wine when CTest starts them.
#
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DPELVARO_BUILD_GUI=OFF

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_pelvaro_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_pelvaro_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_pelvaro_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_pelvaro_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_pelvaro_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own DLLs (libstdc++, libgcc, winpthread) are linked in: a
# program that needs them and cannot find them exits under Wine without a word.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# zlib (Debian's libz-mingw-w64-dev) likewise: its libz.a, not the import library of a DLL.
set(ZLIB_USE_STATIC_LIBS ON)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
