#pragma once

// How this platform calls and exports the C entry points of a shared library.
// Plain C, so that C callers of a library interface can use it too.
//
// 32-bit Windows libraries (the vendor's logger library among them) use the
// callee-cleans __stdcall convention; every other target has one C calling
// convention, so the marker is empty there.
#if defined(_WIN32) && !defined(_WIN64)
#define QUILLON_STDCALL __stdcall
#else
#define QUILLON_STDCALL
#endif

// Marks a definition as one of the library's exported symbols, for a library
// whose other symbols are hidden.
#if defined(_WIN32)
#define QUILLON_LIBRARY_EXPORT __declspec(dllexport)
#else
#define QUILLON_LIBRARY_EXPORT __attribute__((visibility("default")))
#endif
