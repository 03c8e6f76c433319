# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix-threads flavour, which
# std::thread and friends need). Programs link the C and C++ runtimes statically, so an .exe
# runs on a bare Windows with nothing beside it; tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(QUELVEX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUELVEX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUELVEX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUELVEX_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUELVEX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

find_program(QUELVEX_WINE NAMES wine wine64)
if(QUELVEX_WINE)
  # Wine with no locale (env -i, a bare CI machine) cannot make a non-ASCII file name: the tests
  # run in a UTF-8 locale whatever the caller's; C.UTF-8 is on every Debian.
  set(CMAKE_CROSSCOMPILING_EMULATOR env LC_ALL=C.UTF-8 ${QUELVEX_WINE})
endif()
