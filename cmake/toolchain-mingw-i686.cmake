# 32-bit Windows, the build users run: the logger's library is 32-bit and
# loads only into a 32-bit process.
set(QUILLON_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# SSE2 arithmetic, as on x86_64 and Linux: the x87 unit's extended precision
# would let a number read or a distance differ in its last bit. Every PC that
# runs Windows today has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
