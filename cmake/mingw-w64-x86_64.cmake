# Cross-compiling the 64-bit Windows DLL with mingw-w64 on Linux.
# The -posix compilers carry the posix thread model: the win32 one has no std::thread or
# std::mutex. Test programs run under Wine through the emulator setting, so ctest works
# unchanged in the cross build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SPARKWELL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SPARKWELL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SPARKWELL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${SPARKWELL_MINGW_TRIPLET}-windres)

# Headers and libraries come from the mingw tree only: the host's /usr/include (glibc)
# would break the build. Programs (code generators, tools) are the build machine's own.
# SPARKWELL_WIN_DEPS_PREFIX is where scripts/build-windows.sh installs libraries it
# cross-builds itself (GoogleTest).
set(CMAKE_FIND_ROOT_PATH /usr/${SPARKWELL_MINGW_TRIPLET} ${SPARKWELL_WIN_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SPARKWELL_WIN_DEPS_PREFIX)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# Link the GCC and C++ runtimes and winpthread statically: the DLL and the test programs then
# import only Windows system DLLs, which every host (and Wine) has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
