#pragma once

namespace quillon {

// How this platform spells and compares file names.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// Windows compares file and folder names without regard to case.
inline constexpr bool kFileNamesIgnoreCase = true;
#else
inline constexpr char kPathSeparator = '/';
inline constexpr bool kFileNamesIgnoreCase = false;
#endif

}  // namespace quillon
