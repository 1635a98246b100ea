# 64-bit Windows, the same code built to be tested here: wine64 runs it, while
# 32-bit Wine cannot start on these machines.
set(QUILLON_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Each build folder gets its own Wine prefix, made on first use.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine64-run.sh --prefix ${CMAKE_BINARY_DIR}/wine-prefix)
