#include "geotag/JpegHead.h"

namespace quillon {

namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kEndOfImage = 0xD9;
constexpr unsigned char kStartOfScan = 0xDA;

unsigned char ByteAt(std::string_view bytes, std::size_t at) { return static_cast<unsigned char>(bytes[at]); }

// Markers that stand alone, without a length: TEM and the restarts.
bool StandsAlone(unsigned char marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

}  // namespace

std::optional<std::size_t> JpegMetadataEnd(std::string_view bytes) {
  if (bytes.size() < 2 || ByteAt(bytes, 0) != kMarker || ByteAt(bytes, 1) != kStartOfImage) return std::nullopt;
  std::size_t at = 2;
  for (;;) {
    if (at >= bytes.size() || ByteAt(bytes, at) != kMarker) return std::nullopt;
    // Any number of fill bytes may precede a marker.
    while (at < bytes.size() && ByteAt(bytes, at) == kMarker) ++at;
    if (at >= bytes.size()) return std::nullopt;
    const unsigned char marker = ByteAt(bytes, at++);
    if (marker == kStartOfScan) return at;
    if (marker == kEndOfImage || marker == kStartOfImage || marker == 0x00) return std::nullopt;
    if (StandsAlone(marker)) continue;
    if (at + 2 > bytes.size()) return std::nullopt;
    const std::size_t length = (std::size_t{ByteAt(bytes, at)} << 8) | ByteAt(bytes, at + 1);
    if (length < 2) return std::nullopt;
    at += length;
  }
}

}  // namespace quillon
