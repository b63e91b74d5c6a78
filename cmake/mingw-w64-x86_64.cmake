# CMake toolchain for 64-bit Windows programs built on Debian with the
# MinGW-w64 cross compilers (x86_64-w64-mingw32-*-posix).
#
# Where the cross-built libraries live (TinyXML, libjpeg-turbo, GLEW,
# GoogleTest, as made by scripts/build-windows-deps.sh): the cache variable
# WAVENDELL_WINDOWS_PREFIX, or else the environment variable of the same name.
# That prefix and MinGW's own /usr/x86_64-w64-mingw32 are the only places
# headers, libraries, CMake packages and pkg-config files are taken from;
# programs (nasm, pkg-config, wine) still come from the build machine.
#
#   prefix=$(bash scripts/build-windows-deps.sh)
#   cmake -S . -B build-windows \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DWAVENDELL_WINDOWS_PREFIX="$prefix"
#
# Programs are linked with -static: libstdc++, libgcc and winpthread go into
# the .exe, which then needs only Windows' own DLLs (kernel32, user32, gdi32,
# opengl32, msvcrt, ...).
#
# The posix thread model, not win32: GCC 12's win32 model has no std::thread
# or std::mutex. Everything that goes into one program has to come from the
# same model, so the libraries in the prefix are built with this file too.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(WAVENDELL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${WAVENDELL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WAVENDELL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WAVENDELL_MINGW_TRIPLE}-windres)
# CMake guesses the binutils from the compiler's name, and the "-posix"
# suffix defeats the guess (it would fall back to the build machine's ar).
set(CMAKE_AR ${WAVENDELL_MINGW_TRIPLE}-ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${WAVENDELL_MINGW_TRIPLE}-ranlib CACHE FILEPATH "Ranlib")

if(NOT WAVENDELL_WINDOWS_PREFIX AND DEFINED ENV{WAVENDELL_WINDOWS_PREFIX})
  set(WAVENDELL_WINDOWS_PREFIX "$ENV{WAVENDELL_WINDOWS_PREFIX}")
endif()
set(WAVENDELL_WINDOWS_PREFIX "${WAVENDELL_WINDOWS_PREFIX}" CACHE PATH
    "Prefix holding the cross-built Windows libraries (include/, lib/)")
# try_compile projects read this file again; hand them the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES WAVENDELL_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${WAVENDELL_MINGW_TRIPLE})
if(WAVENDELL_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH "${WAVENDELL_WINDOWS_PREFIX}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg_check_modules() must see the prefix's .pc files and never the build
# machine's (which would hand out Linux include and library paths).
if(WAVENDELL_WINDOWS_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} "${WAVENDELL_WINDOWS_PREFIX}/lib/pkgconfig")
else()
  set(ENV{PKG_CONFIG_LIBDIR} "/usr/${WAVENDELL_MINGW_TRIPLE}/lib/pkgconfig")
endif()
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
