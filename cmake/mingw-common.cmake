# The posix thread model gives GoogleTest std::mutex; winpthreads is linked statically.
set(CMAKE_C_COMPILER ${TAMSEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAMSEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAMSEL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAMSEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Prefer static archives (libz.a over libz.dll.a): the exe needs no DLL of ours.
set(ZLIB_USE_STATIC_LIBS ON)
