# Windows: no hidapi (link/ talks to the HID class driver itself) and no virtual-device
# socket. Without Qt for Windows only the Qt-free core, the launcher's detection (which
# the rq700 tool uses), the tool and their tests are built; with Qt the window programs
# come too (the emulator stays POSIX-only).
if(RQ700_BUILD_GUI)
  set(RQ700_SUBSYSTEMS link catalog protocol files skin editor updater launcher tools)
else()
  set(RQ700_SUBSYSTEMS link catalog protocol files launcher tools)
endif()

# Unicode Win32 calls, and no min/max macros to trip over std::min.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)

# A cross build has no installed GoogleTest for the target: build it from the sources
# Debian ships (package googletest) with the same compiler.
if(RQ700_BUILD_TESTS AND CMAKE_CROSSCOMPILING)
  set(RQ700_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory("${RQ700_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest"
                   EXCLUDE_FROM_ALL SYSTEM)
endif()
