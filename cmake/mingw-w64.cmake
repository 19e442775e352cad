# Cross-builds for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix: the posix
# thread model, which std::thread and std::mutex need). VARNEL_WINDOWS_DEPS names the folder that
# scripts/build-windows fills with libcsv, libpng, zlib, GoogleTest and the CLI11 headers built or
# copied for this compiler; libraries are searched there and in the compiler's own tree only, so
# no library of the build machine is picked up by mistake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARNEL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VARNEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNEL_MINGW_PREFIX}-windres)

if(NOT VARNEL_WINDOWS_DEPS AND DEFINED ENV{VARNEL_WINDOWS_DEPS})
  set(VARNEL_WINDOWS_DEPS $ENV{VARNEL_WINDOWS_DEPS})
endif()
set(VARNEL_WINDOWS_DEPS "${VARNEL_WINDOWS_DEPS}" CACHE PATH "Libraries built for mingw-w64")
# try_compile projects see the toolchain file again: hand the folder on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VARNEL_WINDOWS_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${VARNEL_MINGW_PREFIX} ${VARNEL_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static libraries only: the .exe ships alone, without DLLs beside it. The platform's own rules
# prefer import libraries (libz.dll.a), so zlib is named here.
set(ZLIB_LIBRARY /usr/${VARNEL_MINGW_PREFIX}/lib/libz.a CACHE FILEPATH "")
set(ZLIB_INCLUDE_DIR /usr/${VARNEL_MINGW_PREFIX}/include CACHE PATH "")

# The compiler's own runtime (libgcc, libstdc++, winpthread) linked in too.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the test programs through Wine (scripts/test-windows sets up its prefix).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# -O2 as the Linux build: GCC 12's -O3 raises false overflow warnings in code it inlines, which
# -Werror would turn into errors. The shipped .exe carries no symbols.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE "-s" CACHE STRING "")
