#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace quillon {

// Where the metadata of a JPEG ends: the offset just past the marker of its
// first scan (SOS), when `bytes` (the file's beginning) reaches that far.
// Everything before it is segments that metadata writers rewrite; everything
// from the scan on (the image data, and what follows its end) they copy
// unchanged. Nothing when `bytes` does not start as a JPEG, a segment is
// malformed, or the image ends before a scan.
std::optional<std::size_t> JpegMetadataEnd(std::string_view bytes);

}  // namespace quillon
