# Cross-build for 64-bit Windows with Debian's mingw-w64 (GCC, binutils, windres).
#
# The -posix compilers: their thread model has std::mutex and std::thread, which
# the standard library parts we use and GoogleTest need. Everything links
# statically, so korvanto.exe needs no DLL beyond the system's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVANTO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVANTO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVANTO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVANTO_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${KORVANTO_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${KORVANTO_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")

# Headers and libraries from the cross environment only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${KORVANTO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No libgcc, libstdc++ or winpthread DLL next to the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# A release program carries no symbols (the runtime's debug sections would triple it).
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
