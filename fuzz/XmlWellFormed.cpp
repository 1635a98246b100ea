#include "fuzz/XmlWellFormed.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::fuzz {

namespace {

bool IsXmlChar(std::uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool Document() {
    if (Starts("<?xml") && !ProcessingInstruction()) return false;
    if (!Misc()) return false;
    if (!Starts("<") || !Element()) return false;
    return Misc() && pos_ == text_.size();
  }

 private:
  bool Starts(std::string_view s) const { return text_.substr(pos_, s.size()) == s; }
  bool AtEnd() const { return pos_ >= text_.size(); }

  // Decodes the character at pos_ and steps over it; false for bytes that are
  // no UTF-8 or no XML character.
  bool NextChar(std::uint32_t& c) {
    if (AtEnd()) return false;
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text_[pos_ + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 1;
    if (lead < 0x80) {
      c = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      c = lead & 0x07;
    } else {
      return false;
    }
    if (pos_ + length > text_.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((byte(k) & 0xC0) != 0x80) return false;
      c = (c << 6) | (byte(k) & 0x3F);
    }
    // Overlong forms decode below the smallest value of their length.
    static constexpr std::uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length]) return false;
    pos_ += length;
    return IsXmlChar(c);
  }

  void SkipSpace() {
    while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' || text_[pos_] == '\n')) {
      ++pos_;
    }
  }

  static bool NameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
           static_cast<unsigned char>(c) >= 0x80;
  }
  static bool NameChar(char c) { return NameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

  bool Name(std::string_view& name) {
    const std::size_t start = pos_;
    if (AtEnd() || !NameStart(text_[pos_])) return false;
    while (!AtEnd() && NameChar(text_[pos_])) ++pos_;
    name = text_.substr(start, pos_ - start);
    return true;
  }

  // Up to and over `end`, every character in between an XML character.
  bool Until(std::string_view end) {
    std::uint32_t c = 0;
    while (!Starts(end)) {
      if (!NextChar(c)) return false;
    }
    pos_ += end.size();
    return true;
  }

  bool ProcessingInstruction() {
    pos_ += 2;
    std::string_view target;
    return Name(target) && Until("?>");
  }

  bool Comment() {
    pos_ += 4;
    const std::size_t end = text_.find("--", pos_);
    if (end == std::string_view::npos || text_.substr(end, 3) != "-->") return false;
    return Until("-->");
  }

  bool Misc() {
    for (;;) {
      SkipSpace();
      if (Starts("<!--")) {
        if (!Comment()) return false;
      } else if (Starts("<?")) {
        if (Starts("<?xml") || !ProcessingInstruction()) return false;
      } else {
        return true;
      }
    }
  }

  bool Reference() {
    ++pos_;
    const std::size_t end = text_.find(';', pos_);
    if (end == std::string_view::npos) return false;
    const std::string_view body = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (body == "amp" || body == "lt" || body == "gt" || body == "quot" || body == "apos") return true;
    if (body.size() < 2 || body[0] != '#') return false;
    const bool hex = body[1] == 'x';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return false;
    std::uint32_t value = 0;
    for (char d : digits) {
      int v = d >= '0' && d <= '9' ? d - '0' : -1;
      if (hex && d >= 'a' && d <= 'f') v = d - 'a' + 10;
      if (hex && d >= 'A' && d <= 'F') v = d - 'A' + 10;
      if (v < 0 || (!hex && v > 9)) return false;
      value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
    }
    return IsXmlChar(value);
  }

  bool AttributeValue() {
    if (AtEnd() || (text_[pos_] != '"' && text_[pos_] != '\'')) return false;
    const char quote = text_[pos_++];
    std::uint32_t c = 0;
    while (!AtEnd() && text_[pos_] != quote) {
      if (text_[pos_] == '<') return false;
      if (text_[pos_] == '&') {
        if (!Reference()) return false;
      } else if (!NextChar(c)) {
        return false;
      }
    }
    if (AtEnd()) return false;
    ++pos_;
    return true;
  }

  // From '<' of a start tag to the end of the element, nested elements kept
  // on a stack rather than the call stack.
  bool Element() {
    std::vector<std::string_view> open;
    for (;;) {
      ++pos_;  // '<'
      std::string_view name;
      if (!Name(name)) return false;
      std::vector<std::string_view> attributes;
      bool empty = false;
      for (;;) {
        const std::size_t before = pos_;
        SkipSpace();
        if (Starts("/>")) {
          pos_ += 2;
          empty = true;
          break;
        }
        if (Starts(">")) {
          ++pos_;
          break;
        }
        std::string_view attribute;
        if (pos_ == before || !Name(attribute)) return false;
        for (std::string_view seen : attributes) {
          if (seen == attribute) return false;
        }
        attributes.push_back(attribute);
        SkipSpace();
        if (!Starts("=")) return false;
        ++pos_;
        SkipSpace();
        if (!AttributeValue()) return false;
      }
      if (!empty) open.push_back(name);
      // Content until the next start tag, or the end tags that close it all.
      for (;;) {
        if (open.empty()) return true;
        if (AtEnd()) return false;
        if (Starts("</")) {
          pos_ += 2;
          std::string_view closing;
          if (!Name(closing) || closing != open.back()) return false;
          SkipSpace();
          if (!Starts(">")) return false;
          ++pos_;
          open.pop_back();
        } else if (Starts("<!--")) {
          if (!Comment()) return false;
        } else if (Starts("<![CDATA[")) {
          pos_ += 9;
          if (!Until("]]>")) return false;
        } else if (Starts("<?")) {
          if (Starts("<?xml") || !ProcessingInstruction()) return false;
        } else if (Starts("<")) {
          break;
        } else if (Starts("&")) {
          if (!Reference()) return false;
        } else if (Starts("]]>")) {
          return false;
        } else {
          std::uint32_t c = 0;
          if (!NextChar(c)) return false;
        }
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

bool IsWellFormedXml(std::string_view document) { return Reader(document).Document(); }

}  // namespace quillon::fuzz
