#pragma once

#include <string>

#include <exiv2/exiv2.hpp>

#include "geotag/TrackMatch.h"

namespace quillon {

// The XMP sidecar of a photo whose format Exiv2 can read but not write:
// "NAME.xmp" beside it, or "NAME.EXT.xmp" where only that one exists.
std::string SidecarPathOf(const std::string& photoPath);

// Whether the sidecar's XMP holds a latitude and a longitude.
bool HasXmpPosition(const Exiv2::XmpData& xmp);

// Writes the position of `point`, taken at `utcSeconds`, into `xmp` as the
// exif namespace's GPS properties, converted by Exiv2 from the same fields
// a photo gets; those of an earlier position are removed first.
void WriteXmpPosition(Exiv2::XmpData& xmp, const TrackPoint& point, double utcSeconds);

// Removes exactly the properties WriteXmpPosition writes; whether there was
// any.
bool RemoveXmpPosition(Exiv2::XmpData& xmp);

}  // namespace quillon
