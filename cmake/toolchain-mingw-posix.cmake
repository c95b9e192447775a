# Cross build of the Win32 and end-to-end tests with mingw-w64 (i686), posix
# thread model: GoogleTest needs std::mutex, which the win32 thread model does
# not provide.  This tree builds the programs themselves with
# toolchain-mingw.cmake, as a sub-build (see cmake/win32.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
