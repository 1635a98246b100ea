#include "platform/DynamicLibrary.h"

#ifdef _WIN32
#include <windows.h>

#include <filesystem>

#include "platform/Utf8Path.h"
#else
#include <dlfcn.h>
#endif

namespace quillon {

#ifdef _WIN32

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(const std::string& path, std::string* error) {
  // A bare name would make LoadLibrary search the system's folders and PATH;
  // the library must come from exactly the place we name.
  std::filesystem::path byPath = Utf8Path(path);
  if (!byPath.has_parent_path()) byPath = std::filesystem::path(L".") / byPath;
  // No "cannot load" dialog for a damaged file: the caller reports it.
  DWORD previousMode = 0;
  ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  HMODULE module = ::LoadLibraryW(byPath.c_str());
  const DWORD failure = ::GetLastError();
  ::SetThreadErrorMode(previousMode, nullptr);
  if (module == nullptr) {
    if (error != nullptr) *error = "LoadLibrary failed with error " + std::to_string(failure);
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
