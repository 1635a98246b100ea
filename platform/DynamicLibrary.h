#pragma once

#include <memory>
#include <string>

namespace quillon {

// A shared library loaded by path. It is never unloaded: the entry points
// looked up from it stay callable for the rest of the process, so the object
// only forgets the handle when it goes away.
class DynamicLibrary {
 public:
  // Null when the file cannot be loaded; `error` then receives the loader's reason.
  static std::unique_ptr<DynamicLibrary> Load(const std::string& path, std::string* error = nullptr);

  // The address of an exported symbol, null when the library has none by that name.
  void* Find(const char* name) const;

  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

 private:
  explicit DynamicLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace quillon
