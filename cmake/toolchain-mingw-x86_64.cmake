# 64-bit Windows, the same code built to be tested on a machine that cannot
# run 32-bit programs (and so no 32-bit Wine): wine64 runs it there.
set(QUILLON_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Each build folder gets its own Wine prefix, made on first use.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh --bits 64 --prefix ${CMAKE_BINARY_DIR}/wine-prefix)
