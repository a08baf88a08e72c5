# Cross build for 32-bit Windows with Debian's mingw-w64 (win32 thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(_mingw i686-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${_mingw}-gcc-win32 ${_mingw}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${_mingw}-g++-win32 ${_mingw}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${_mingw}-windres REQUIRED)
find_program(CMAKE_AR NAMES ${_mingw}-gcc-ar-win32 ${_mingw}-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES ${_mingw}-gcc-ranlib-win32 ${_mingw}-ranlib REQUIRED)
find_program(CMAKE_STRIP NAMES ${_mingw}-strip REQUIRED)
find_program(MINGW_OBJDUMP NAMES ${_mingw}-objdump REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Static C and C++ runtime; no PE time stamp, so equal sources give equal bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp -Wl,--dynamicbase -Wl,--nxcompat")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp -Wl,--dynamicbase -Wl,--nxcompat")
