# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, which
# std::thread and std::mutex need). Programs are linked statically, so they run under
# Wine or on Windows without the MinGW runtime DLLs beside them, and tests run through
# Wine64 when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RQ700_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RQ700_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RQ700_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${RQ700_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RQ700_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libstdc++, libgcc and winpthread go into each program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(RQ700_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(RQ700_WINE64)
  # Wine keeps its state in the build folder, says nothing on its own, and needs no
  # display for console programs.
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env "WINEPREFIX=${CMAKE_BINARY_DIR}/wine" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
      "${RQ700_WINE64}")
endif()
