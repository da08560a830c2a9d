# Windows x64 cross build with Debian's mingw-w64, POSIX-threads variant
# (package g++-mingw-w64-x86-64-posix): std::thread and std::mutex need it.
#
#   cmake -S . -B build/windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake -DQRV_BUILD_BENCH=OFF
#
# Test programs run under wine (package wine64), in a wine prefix of the build
# tree's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QRV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QRV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QRV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QRV_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${QRV_MINGW_TRIPLE}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${QRV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs (tests, the example host) carry the C++ runtime, libgcc and
# winpthread inside, so wine needs no mingw DLLs beside them. The library gets
# the same from its own link options.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR
    sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine-prefix)
