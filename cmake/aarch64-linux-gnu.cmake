# Cross-compiling the Linux plug-ins (VST module and LV2 bundle) for 64-bit ARM with Debian's
# aarch64 cross compiler, for the single-board computers and multi-effect units that run LV2
# pedalboard hosts. The test programs run under qemu's user-mode emulation through the emulator
# setting, so ctest works unchanged in the cross build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(SPARKWELL_CROSS_TRIPLET aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${SPARKWELL_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${SPARKWELL_CROSS_TRIPLET}-g++)

# The cross compiler's own tree holds the C and C++ runtimes; the libraries the editor and the
# tests link (X11, xcb, libsndfile) are Debian's arm64 multiarch packages under
# /usr/lib/aarch64-linux-gnu, found through their pkg-config files there. Programs (code
# generators, tools) are the build machine's own. SPARKWELL_CROSS_DEPS_PREFIX is where
# scripts/build-aarch64.sh installs what it cross-builds itself (GoogleTest).
set(CMAKE_FIND_ROOT_PATH /usr/${SPARKWELL_CROSS_TRIPLET} ${SPARKWELL_CROSS_DEPS_PREFIX})
set(CMAKE_LIBRARY_ARCHITECTURE ${SPARKWELL_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SPARKWELL_CROSS_DEPS_PREFIX)
set(ENV{PKG_CONFIG_LIBDIR}
    /usr/lib/${SPARKWELL_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig)

# qemu's loader prefix: the cross compiler's runtimes first, then the multiarch libraries.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/${SPARKWELL_CROSS_TRIPLET})
