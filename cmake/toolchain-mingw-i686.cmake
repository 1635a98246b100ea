# 32-bit Windows, the build users run: the logger's library is 32-bit and
# loads only into a 32-bit process.
set(QUILLON_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
