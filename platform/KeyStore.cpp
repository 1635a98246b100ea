#include "platform/KeyStore.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#include "platform/AtomicFileReplace.h"
#include "platform/Utf8Path.h"

namespace quillon {

namespace {

constexpr std::string_view kStringType = "REG_SZ";
constexpr std::string_view kExpandStringType = "REG_EXPAND_SZ";
constexpr std::string_view kDwordType = "REG_DWORD";
constexpr std::string_view kBinaryType = "REG_BINARY";

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string UnescapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      char next = text[++i];
      out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> DecodeHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    auto [end, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    if (ec != std::errc() || end != hex.data() + i + 2) return std::nullopt;
    bytes += static_cast<char>(value);
  }
  return bytes;
}

// One line of a section: a value, or a line kept as it was read.
struct IniLine {
  bool isValue = false;
  std::string name;
  std::string type;
  std::string data;  // as written in the file
  std::string raw;
};

struct IniSection {
  std::string name;
  std::vector<IniLine> lines;
};

struct IniDocument {
  std::vector<std::string> preamble;
  std::vector<IniSection> sections;

  IniSection* Find(std::string_view key) {
    for (auto& s : sections) {
      if (EqualNoCase(s.name, key)) return &s;
    }
    return nullptr;
  }
};

IniLine ParseLine(const std::string& line) {
  IniLine result;
  result.raw = line;
  if (line.empty() || line.front() == ';' || line.front() == '#') return result;
  std::size_t equals = line.find('=');
  if (equals == std::string::npos || equals == 0) return result;
  std::size_t colon = line.find(':', equals + 1);
  if (colon == std::string::npos) return result;
  result.isValue = true;
  result.name = line.substr(0, equals);
  result.type = line.substr(equals + 1, colon - equals - 1);
  result.data = line.substr(colon + 1);
  return result;
}

IniDocument ParseDocument(std::istream& in) {
  IniDocument doc;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      doc.sections.push_back({line.substr(1, line.size() - 2), {}});
    } else if (doc.sections.empty()) {
      doc.preamble.push_back(line);
    } else {
      doc.sections.back().lines.push_back(ParseLine(line));
    }
  }
  return doc;
}

std::string RenderDocument(const IniDocument& doc) {
  std::string out;
  for (const auto& line : doc.preamble) out += line + '\n';
  for (const auto& section : doc.sections) {
    out += '[' + section.name + "]\n";
    for (const auto& line : section.lines) {
      out += line.isValue ? line.name + '=' + line.type + ':' + line.data : line.raw;
      out += '\n';
    }
  }
  return out;
}

// Reads the store; a missing file is an empty store. Nothing when the file
// exists but cannot be read.
std::optional<IniDocument> ReadDocument(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path file = Utf8Path(path);
  if (!std::filesystem::exists(file, ec)) {
    if (ec) return std::nullopt;
    IniDocument doc;
    doc.preamble.push_back("; Quillon per-user key store: [key path], then Name=TYPE:data per value.");
    return doc;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in || !std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  return ParseDocument(in);
}

// Writes the whole store next to its final place and renames it over the old
// one, so that a crash or a full disk never leaves half a file behind; a store
// reached through a symbolic link stays linked.
bool WriteDocument(const std::string& path, const IniDocument& doc) {
  std::error_code ec;
  const std::filesystem::path folder = Utf8Path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  return WriteFileAtomically(path, [&](std::ostream& out) { out << RenderDocument(doc); });
}

bool IsStorableName(std::string_view name) {
  return name.find_first_of("=\r\n") == std::string_view::npos && (name.empty() || name.front() != '[');
}

class IniKey : public KeyStoreKey {
 public:
  IniKey(std::string filePath, std::string keyPath) : filePath_(std::move(filePath)), keyPath_(std::move(keyPath)) {}

  bool SetString(const std::string& name, const std::string& value) override {
    return Set(name, std::string(kStringType), EscapeText(value));
  }

  bool SetDword(const std::string& name, std::uint32_t value) override {
    return Set(name, std::string(kDwordType), std::to_string(value));
  }

  std::optional<std::string> QueryValue(const std::string& name, std::size_t bufferSize) override {
    std::optional<IniDocument> doc = ReadDocument(filePath_);
    if (!doc) return std::nullopt;
    IniSection* section = doc->Find(keyPath_);
    if (!section) return std::nullopt;
    for (const auto& line : section->lines) {
      if (!line.isValue || !EqualNoCase(line.name, name)) continue;
      std::optional<std::string> bytes = StoredBytes(line);
      if (!bytes || bytes->size() > bufferSize) return std::nullopt;
      return bytes;
    }
    return std::nullopt;
  }

 private:
  static std::optional<std::string> StoredBytes(const IniLine& line) {
    if (line.type == kStringType || line.type == kExpandStringType) {
      std::string text = UnescapeText(line.data);
      text += '\0';
      return text;
    }
    if (line.type == kDwordType) {
      std::uint32_t value = 0;
      const char* end = line.data.data() + line.data.size();
      auto [last, ec] = std::from_chars(line.data.data(), end, value);
      if (ec != std::errc() || last != end) return std::nullopt;
      std::string bytes(4, '\0');
      for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
      return bytes;
    }
    if (line.type == kBinaryType) return DecodeHex(line.data);
    return line.data;
  }

  bool Set(const std::string& name, std::string type, std::string data) {
    if (!IsStorableName(name)) return false;
    std::optional<IniDocument> doc = ReadDocument(filePath_);
    if (!doc) return false;
    IniSection* section = doc->Find(keyPath_);
    if (!section) {
      doc->sections.push_back({keyPath_, {}});
      section = &doc->sections.back();
    }
    auto it = std::find_if(section->lines.begin(), section->lines.end(),
                           [&](const IniLine& l) { return l.isValue && EqualNoCase(l.name, name); });
    if (it == section->lines.end()) {
      section->lines.push_back({true, name, {}, {}, {}});
      it = section->lines.end() - 1;
    }
    it->type = std::move(type);
    it->data = std::move(data);
    return WriteDocument(filePath_, *doc);
  }

  std::string filePath_;
  std::string keyPath_;
};

#ifdef _WIN32

class RegistryKey : public KeyStoreKey {
 public:
  explicit RegistryKey(HKEY key) : key_(key) {}
  ~RegistryKey() override { RegCloseKey(key_); }

  // The text is UTF-8 (a folder path may hold any character); the registry
  // keeps UTF-16, and the stored size counts the terminating NUL.
  bool SetString(const std::string& name, const std::string& value) override {
    const std::wstring wideName = Utf8Path(name).native();
    const std::wstring wideValue = Utf8Path(value).native();
    return RegSetValueExW(key_, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wideValue.c_str()),
                          static_cast<DWORD>((wideValue.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

  bool SetDword(const std::string& name, std::uint32_t value) override {
    DWORD data = value;
    return RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data)) == ERROR_SUCCESS;
  }

  std::optional<std::string> QueryValue(const std::string& name, std::size_t bufferSize) override {
    std::string buffer(bufferSize, '\0');
    DWORD size = static_cast<DWORD>(bufferSize);
    DWORD type = 0;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    buffer.resize(size);
    return buffer;
  }

 private:
  HKEY key_;
};

class RegistryKeyStore : public KeyStore {
 public:
  std::unique_ptr<KeyStoreKey> CreateKey(const std::string& keyPath) override {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return nullptr;
    }
    return std::make_unique<RegistryKey>(key);
  }
};

#endif

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
#ifndef _WIN32
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
#endif
  return ".";
}

}  // namespace

IniKeyStore::IniKeyStore(std::string filePath) : filePath_(std::move(filePath)) {}

std::unique_ptr<KeyStoreKey> IniKeyStore::CreateKey(const std::string& keyPath) {
  if (keyPath.empty() || keyPath.find_first_of("[]\r\n") != std::string::npos) return nullptr;
  std::optional<IniDocument> doc = ReadDocument(filePath_);
  if (!doc) return nullptr;
  if (!doc->Find(keyPath)) {
    doc->sections.push_back({keyPath, {}});
    if (!WriteDocument(filePath_, *doc)) return nullptr;
  }
  return std::make_unique<IniKey>(filePath_, keyPath);
}

std::string DefaultKeyStorePath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::filesystem::path base;
  if (xdg && *xdg && std::filesystem::path(xdg).is_absolute()) {
    base = xdg;
  } else {
    base = std::filesystem::path(HomeFolder()) / ".config";
  }
  return (base / "quillon" / "registry.ini").string();
}

std::unique_ptr<KeyStore> MakeUserKeyStore() {
#ifdef _WIN32
  return std::make_unique<RegistryKeyStore>();
#else
  return std::make_unique<IniKeyStore>(DefaultKeyStorePath());
#endif
}

}  // namespace quillon
