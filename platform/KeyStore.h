#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quillon {

// An open key of the per-user key store. Destroying it closes the key.
class KeyStoreKey {
 public:
  virtual ~KeyStoreKey() = default;
  // A string value (REG_SZ); its stored size counts a terminating NUL.
  virtual bool SetString(const std::string& name, const std::string& value) = 0;
  // A 32-bit number value (REG_DWORD).
  virtual bool SetDword(const std::string& name, std::uint32_t value) = 0;
  // The value's bytes as stored, whatever its type (a string with its
  // terminating NUL, a number as four bytes, low byte first), when they fit
  // into a buffer of bufferSize bytes; nothing when the value does not exist
  // or is larger.
  virtual std::optional<std::string> QueryValue(const std::string& name, std::size_t bufferSize) = 0;
};

// The current user's key store: the registry's HKEY_CURRENT_USER hive on
// Windows, a file of our own elsewhere (see IniKeyStore).
class KeyStore {
 public:
  virtual ~KeyStore() = default;
  // Creates the key (a backslash-separated path such as
  // "Software\\locr\\LocrClient") or opens it when it exists; nullptr when it
  // can be neither.
  virtual std::unique_ptr<KeyStoreKey> CreateKey(const std::string& keyPath) = 0;
};

// A key store kept in one INI-style text file: a section per key, named by
// the key path, and a line per value, "Name=TYPE:data", where TYPE is REG_SZ
// (text with \\, \n and \r escaped), REG_EXPAND_SZ (likewise), REG_DWORD
// (decimal) or REG_BINARY (hex pairs). Key paths and value names compare
// without regard to ASCII case, as in the registry. Every change rewrites the
// whole file through a temporary file renamed over it, so a reader never sees
// half a file. Lines it does not understand are kept as they are.
class IniKeyStore : public KeyStore {
 public:
  explicit IniKeyStore(std::string filePath);
  std::unique_ptr<KeyStoreKey> CreateKey(const std::string& keyPath) override;
  const std::string& FilePath() const { return filePath_; }

 private:
  std::string filePath_;
};

// Where the current user's IniKeyStore lives on systems without a registry:
// $XDG_CONFIG_HOME/quillon/registry.ini, with ~/.config in place of an unset
// or relative XDG_CONFIG_HOME.
std::string DefaultKeyStorePath();

std::unique_ptr<KeyStore> MakeUserKeyStore();

}  // namespace quillon
