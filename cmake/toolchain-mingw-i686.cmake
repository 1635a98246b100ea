# 32-bit Windows, the build users run: the logger's library is 32-bit and
# loads only into a 32-bit process.
set(QUILLON_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# SSE2 arithmetic (every PC that runs today's Windows has it), so that numbers
# are read and distances computed to the same last bit as in the other builds;
# x87 extended precision would differ there.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
# Each build folder gets its own 32-bit Wine prefix, made on first use.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh --bits 32 --prefix ${CMAKE_BINARY_DIR}/wine-prefix)
