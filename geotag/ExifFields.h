#pragma once

#include <optional>
#include <string>

#include <exiv2/exiv2.hpp>

#include "geotag/CameraTime.h"
#include "geotag/TrackMatch.h"

namespace quillon {

PhotoTimeFields ReadPhotoTimeFields(const Exiv2::ExifData& exif);

// Whether the photo carries a latitude and a longitude already.
bool HasGpsPosition(const Exiv2::ExifData& exif);

// Writes the position of `point`, taken at `utcSeconds`, into the GPS block:
// latitude, longitude (degrees, minutes and seconds to 1/10000 s), altitude
// where the point has one, the UTC date and time, speed (km/h) and course
// (true) where it has them, the WGS-84 datum, and the version 2.3.0.0 when
// the photo had no GPS block. The fields of a position written before are
// removed first, so that none of an older position remains.
void WriteGpsFields(Exiv2::ExifData& exif, const TrackPoint& point, double utcSeconds);

// Removes exactly the fields WriteGpsFields writes; whether there was any.
bool RemoveGpsFields(Exiv2::ExifData& exif);

}  // namespace quillon
