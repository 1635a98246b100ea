#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace quillon::testing {

// Sets or removes one environment variable of this process. Windows' runtime
// has no setenv; _putenv_s with an empty value removes the variable there.
inline void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
  ::_putenv_s(name, value);
#else
  ::setenv(name, value, 1);
#endif
}

inline void UnsetEnvironment(const char* name) {
#ifdef _WIN32
  ::_putenv_s(name, "");
#else
  ::unsetenv(name);
#endif
}

// Puts back a saved value, or removes the variable when it had none.
inline void RestoreEnvironment(const char* name, const std::optional<std::string>& saved) {
  if (saved) {
    SetEnvironment(name, saved->c_str());
  } else {
    UnsetEnvironment(name);
  }
}

inline std::optional<std::string> SavedEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace quillon::testing
