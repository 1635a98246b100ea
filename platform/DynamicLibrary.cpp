#include "platform/DynamicLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace quillon {

#ifdef _WIN32

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(const std::string& path, std::string* error) {
  HMODULE module = ::LoadLibraryA(path.c_str());
  if (module == nullptr) {
    if (error != nullptr) *error = "LoadLibrary failed with error " + std::to_string(::GetLastError());
    return nullptr;
  }
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(module));
}

void* DynamicLibrary::Find(const char* name) const {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

#else

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(const std::string& path, std::string* error) {
  // A path without a slash would make dlopen search the system's library
  // folders; the library must come from exactly the place we name.
  std::string byPath = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = ::dlopen(byPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    if (error != nullptr) {
      const char* reason = ::dlerror();
      *error = reason != nullptr ? reason : "dlopen failed";
    }
    return nullptr;
  }
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

void* DynamicLibrary::Find(const char* name) const { return ::dlsym(handle_, name); }

#endif

}  // namespace quillon
