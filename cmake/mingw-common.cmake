# Shared part of the mingw-w64 toolchain files; they set QUILLON_MINGW_ARCH
# (i686 or x86_64) and include this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QUILLON_MINGW_ARCH})
set(quillonTriplet ${QUILLON_MINGW_ARCH}-w64-mingw32)

# The posix thread model gives std::thread and std::mutex; the win32 one does not.
set(CMAKE_C_COMPILER ${quillonTriplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${quillonTriplet}-g++-posix)
set(CMAKE_RC_COMPILER ${quillonTriplet}-windres)

# Runtime and winpthread linked in, so the programs need only Windows' DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Third-party libraries come from the cache tools/windows.sh deps fills; only
# complete installs (those with the stamp file) are searched.
if(DEFINED ENV{QUILLON_WIN_CACHE})
  set(quillonCache $ENV{QUILLON_WIN_CACHE})
else()
  set(quillonCache /var/cache/quillon)
endif()
file(GLOB quillonCached LIST_DIRECTORIES true "${quillonCache}/*-${quillonTriplet}")
set(quillonRoots /usr/${quillonTriplet})
set(quillonWx "")
foreach(dir IN LISTS quillonCached)
  if(EXISTS ${dir}/.complete)
    list(APPEND quillonRoots ${dir})
    if(dir MATCHES "/wxmsw-[^/]*$")
      set(quillonWx ${dir})
    endif()
  endif()
endforeach()
set(CMAKE_FIND_ROOT_PATH ${quillonRoots})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(quillonWx)
  # A build folder configured before the cached wxMSW was rebuilt under a new
  # name still names the old one, which is gone.
  if(DEFINED CACHE{wxWidgets_CONFIG_EXECUTABLE} AND NOT EXISTS "${wxWidgets_CONFIG_EXECUTABLE}")
    unset(wxWidgets_CONFIG_EXECUTABLE CACHE)
  endif()
  set(wxWidgets_CONFIG_EXECUTABLE ${quillonWx}/bin/wx-config CACHE FILEPATH "wx-config of the cached wxMSW")
endif()
