// quillon_geotag_ratio: how long quillon-geotag takes to write positions from
// a raw log into a folder of camera JPEGs, measured against ExifTool's
// -geotag on an identical folder, each run once as a separate process from
// start to exit. Afterwards the positions both wrote are read back with
// Exiv2 and compared photo by photo.
//
//   quillon_geotag_ratio [--photos N] [--geotag PATH] [--exiftool PATH]
//                        [--cjpeg PATH] [--keep]
//
// --keep leaves the generated folder (log, templates, both photo folders and
// what the programs printed) in place and names it.
//
// The photos: a few noise images of 2 to 4 MB each, compressed by cjpeg
// (libjpeg-turbo-progs) so that they are real baseline JPEGs, given the EXIF
// fields a camera writes with Exiv2, then copied N times with only the time
// taken changed; the times lie along the log's track, most of them between
// two fixes with a fraction of a second.
//
// Both folders are written alike, photo by photo, and put on the disk with
// sync() before each timed run, so both programs start on photos that sit in
// the page cache with nothing of them left to write back.
//
// ExifTool by default takes the time from DateTimeOriginal alone, without its
// fraction of a second, and in the zone of TZ; "-Geotime<SubSecDateTimeOriginal"
// makes it take DateTimeOriginal, SubSecTimeOriginal and OffsetTimeOriginal,
// which is what quillon-geotag goes by. Both interpolate between the fixes
// around the time (up to 1800 s apart) by default.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <exiv2/exiv2.hpp>

#include "bench/LogGenerator.h"
#include "bench/ProgramRun.h"
#include "logdata/CivilTime.h"

namespace quillon::bench {

namespace {

// The generated log's first fix, one a second after it (see LogGenerator).
constexpr std::int64_t kLogStartSeconds = 1205304306;  // 2008-03-12 06:45:06 UTC
constexpr std::size_t kLogFixes = 4 * 3600;            // four hours

// Placeholders the templates carry, overwritten in each copy.
constexpr char kTimeMarker[] = "1999:01:01 00:00:00";
constexpr char kSubSecondMarker[] = "987";

// Sizes in bytes the template JPEGs aim at.
constexpr double kTemplateTargets[] = {2.3e6, 2.8e6, 3.3e6, 3.8e6};
constexpr double kSmallestPhoto = 2.0e6;
constexpr double kLargestPhoto = 4.0e6;

// quillon-geotag keeps a fix's position in whole micro-degrees, further
// decimals of the log cut off, where ExifTool keeps all of them: positions
// differ by up to just under a micro-degree.
constexpr double kLargestDifference = 1e-6;  // degrees

// The least any tagger that never leaves a photo half-written must do: each
// photo's bytes copied into a new file beside it within the kernel, put on
// the disk and renamed over the photo, kFloorThreads photos at a time.
constexpr int kFloorThreads = 4;

std::string PhotoName(std::size_t i);

double RewriteAndFlushSeconds(const std::filesystem::path& folder, std::size_t photos) {
  sync();
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> threads;
  for (int t = 0; t < kFloorThreads; ++t) {
    threads.emplace_back([&] {
      for (std::size_t i; (i = next++) < photos;) {
        const std::filesystem::path photo = folder / PhotoName(i);
        const std::filesystem::path temp = folder / ("." + PhotoName(i) + ".floor");
        const int in = open(photo.c_str(), O_RDONLY | O_CLOEXEC);
        const int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        struct stat status {};
        bool ok = in >= 0 && out >= 0 && fstat(in, &status) == 0;
        for (off_t left = ok ? status.st_size : 0; ok && left > 0;) {
          const ssize_t n = copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(left), 0);
          ok = n > 0;
          left -= n;
        }
        ok = ok && fsync(out) == 0;
        if (in >= 0) close(in);
        if (out >= 0) close(out);
        ok = ok && rename(temp.c_str(), photo.c_str()) == 0;
        if (!ok) failed = true;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  if (failed) throw std::runtime_error("copying the photos anew failed in " + folder.string());
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// A binary PPM of random pixels, which JPEG compresses least: the size of the
// JPEG follows the number of pixels closely.
void WriteNoisePpm(const std::filesystem::path& path, int width, int height, std::uint64_t seed) {
  std::string bytes = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  const std::size_t header = bytes.size();
  bytes.resize(header + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
  for (std::size_t i = header; i < bytes.size(); ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    bytes[i] = static_cast<char>(state >> 56);
  }
  WriteAll(path, bytes);
}

// A camera JPEG of about `targetBytes`: noise through cjpeg, then the EXIF
// fields a camera writes, with the placeholder time.
std::filesystem::path MakeTemplate(const std::string& cjpeg, const std::filesystem::path& folder, int index,
                                   double targetBytes) {
  const std::filesystem::path ppm = folder / ("template" + std::to_string(index) + ".ppm");
  const std::filesystem::path jpeg = folder / ("template" + std::to_string(index) + ".jpg");
  const std::filesystem::path log = folder / "cjpeg.txt";
  double pixels = targetBytes / 1.15;  // about what quality 95 makes of noise
  for (int attempt = 0;; ++attempt) {
    const int width = static_cast<int>(std::sqrt(pixels * 4.0 / 3.0)) / 16 * 16;
    const int height = static_cast<int>(pixels / width) / 16 * 16;
    WriteNoisePpm(ppm, width, height, static_cast<std::uint64_t>(index) + 1);
    if (!RunMeasured({cjpeg, "-quality", "95", "-outfile", jpeg.string(), ppm.string()}, log, log, true)) {
      throw std::runtime_error("cjpeg failed on " + ppm.string());
    }
    const auto size = static_cast<double>(std::filesystem::file_size(jpeg));
    if (std::fabs(size - targetBytes) < 0.1e6) break;
    if (attempt == 3) throw std::runtime_error("cannot make a JPEG of the size wanted");
    pixels *= targetBytes / size;
  }
  std::filesystem::remove(ppm);

  Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(jpeg.string());
  image->readMetadata();
  Exiv2::ExifData& exif = image->exifData();
  exif["Exif.Image.Make"] = "Quillon Bench";
  exif["Exif.Image.Model"] = "Pocket Camera 7";
  exif["Exif.Image.Orientation"] = std::uint16_t{1};
  exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 250);
  exif["Exif.Photo.FNumber"] = Exiv2::URational(28, 10);
  exif["Exif.Photo.DateTimeOriginal"] = kTimeMarker;
  exif["Exif.Photo.SubSecTimeOriginal"] = kSubSecondMarker;
  exif["Exif.Photo.OffsetTimeOriginal"] = "+00:00";
  image->writeMetadata();
  return jpeg;
}

// A template's bytes and where in them the time taken and its fraction lie.
struct Template {
  std::string bytes;
  std::size_t timeAt = 0;
  std::size_t subSecondAt = 0;
};

// The one place `text` (with its closing NUL) lies within [begin, end).
std::size_t FindOnce(const std::string& bytes, std::size_t begin, std::size_t end, const char* text) {
  const std::string needle(text, std::strlen(text) + 1);
  const std::size_t at = bytes.find(needle, begin);
  if (at == std::string::npos || at + needle.size() > end) throw std::runtime_error("placeholder not found");
  const std::size_t again = bytes.find(needle, at + 1);
  if (again != std::string::npos && again + needle.size() <= end) throw std::runtime_error("placeholder twice");
  return at;
}

Template ReadTemplate(const std::filesystem::path& jpeg) {
  Template t{ReadAll(jpeg)};
  // The placeholders are looked for in the EXIF segment only.
  const std::size_t exif = t.bytes.find(std::string("Exif\0\0", 6));
  if (exif == std::string::npos || exif < 4) throw std::runtime_error("no EXIF segment in " + jpeg.string());
  const std::size_t length = (static_cast<std::size_t>(static_cast<unsigned char>(t.bytes[exif - 2])) << 8) |
                             static_cast<unsigned char>(t.bytes[exif - 1]);
  const std::size_t end = exif - 2 + length;
  t.timeAt = FindOnce(t.bytes, exif, end, kTimeMarker);
  t.subSecondAt = FindOnce(t.bytes, exif, end, kSubSecondMarker);
  return t;
}

// When photo i of n was taken, in milliseconds since 1970 (UTC): spread
// evenly along the track, one in ten on a fix, the rest a fraction of a
// second after one.
std::int64_t PhotoMilliseconds(std::size_t i, std::size_t n) {
  const std::int64_t first = (kLogStartSeconds + 30) * 1000;
  const std::int64_t span = (static_cast<std::int64_t>(kLogFixes) - 90) * 1000;
  std::int64_t at = first + span * static_cast<std::int64_t>(i) / static_cast<std::int64_t>(n);
  at -= at % 1000;
  if (i % 10 != 0) at += static_cast<std::int64_t>((i * 379) % 999 + 1);
  return at;
}

void PatchTime(std::string& bytes, const Template& t, std::int64_t milliseconds) {
  const CivilTime civil = FromEpochSeconds(milliseconds / 1000);
  char time[32];
  std::snprintf(time, sizeof time, "%04lld:%02d:%02d %02d:%02d:%02d", static_cast<long long>(civil.year), civil.month,
                civil.day, civil.hour, civil.minute, civil.second);
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, "%03d", static_cast<int>(milliseconds % 1000));
  std::memcpy(bytes.data() + t.timeAt, time, std::strlen(kTimeMarker));
  std::memcpy(bytes.data() + t.subSecondAt, fraction, std::strlen(kSubSecondMarker));
}

std::string PhotoName(std::size_t i) {
  char name[32];
  std::snprintf(name, sizeof name, "IMG_%05zu.JPG", i + 1);
  return name;
}

struct Position {
  double latitude = 0;
  double longitude = 0;
};

std::optional<double> Degrees(const Exiv2::ExifData& exif, const char* key, const char* refKey, char negative) {
  const auto value = exif.findKey(Exiv2::ExifKey(key));
  const auto ref = exif.findKey(Exiv2::ExifKey(refKey));
  if (value == exif.end() || ref == exif.end() || value->count() != 3) return std::nullopt;
  double degrees = 0;
  double unit = 1;
  for (long i = 0; i < 3; ++i, unit *= 60) {
    const Exiv2::Rational r = value->toRational(i);
    if (r.second == 0) return std::nullopt;
    degrees += static_cast<double>(r.first) / r.second / unit;
  }
  const std::string refText = ref->toString();
  if (!refText.empty() && refText[0] == negative) degrees = -degrees;
  return degrees;
}

// The position a photo holds in its EXIF GPS fields, when it has one.
std::optional<Position> ReadPosition(const std::filesystem::path& photo) {
  Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(photo.string());
  image->readMetadata();
  const Exiv2::ExifData& exif = image->exifData();
  const std::optional<double> latitude =
      Degrees(exif, "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef", 'S');
  const std::optional<double> longitude =
      Degrees(exif, "Exif.GPSInfo.GPSLongitude", "Exif.GPSInfo.GPSLongitudeRef", 'W');
  if (!latitude || !longitude) return std::nullopt;
  return Position{*latitude, *longitude};
}

void PrintTail(const std::filesystem::path& file) {
  std::string text = ReadAll(file);
  if (text.size() > 2000) text = "..." + text.substr(text.size() - 2000);
  std::fprintf(stderr, "%s", text.c_str());
}

int Main(int argc, char** argv) {
  std::size_t photos = 1000;
  bool keep = false;
  std::string geotag = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "quillon-geotag").string();
  std::string exiftool = "exiftool";
  std::string cjpeg = "cjpeg";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--photos" && i + 1 < argc) {
      photos = static_cast<std::size_t>(std::max(1, std::atoi(argv[++i])));
    } else if (arg == "--geotag" && i + 1 < argc) {
      geotag = argv[++i];
    } else if (arg == "--exiftool" && i + 1 < argc) {
      exiftool = argv[++i];
    } else if (arg == "--cjpeg" && i + 1 < argc) {
      cjpeg = argv[++i];
    } else if (arg == "--keep") {
      keep = true;
    } else {
      std::fprintf(stderr,
                   "usage: %s [--photos N] [--geotag PATH] [--exiftool PATH] [--cjpeg PATH] [--keep]\n", argv[0]);
      return 2;
    }
  }
  const std::optional<std::string> geotagPath = FindProgram(geotag);
  const std::optional<std::string> exiftoolPath = FindProgram(exiftool);
  const std::optional<std::string> cjpegPath = FindProgram(cjpeg);
  if (!geotagPath || !exiftoolPath || !cjpegPath) {
    std::fprintf(stderr, "not found:%s%s%s (exiftool: apt-get install libimage-exiftool-perl; cjpeg: apt-get "
                 "install libjpeg-turbo-progs)\n",
                 geotagPath ? "" : (" " + geotag).c_str(), exiftoolPath ? "" : (" " + exiftool).c_str(),
                 cjpegPath ? "" : (" " + cjpeg).c_str());
    return 2;
  }
  Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);

  GeneratedLogDirectory directory(kLogFixes);
  if (keep) {
    directory.Keep();
    std::printf("folder kept: %s\n", directory.Path().c_str());
  }
  const std::filesystem::path log = directory.Path() / "Rawdata" / kGeneratedLogName;
  const std::filesystem::path templates = directory.Path() / "templates";
  const std::filesystem::path quillonFolder = directory.Path() / "quillon";
  const std::filesystem::path exiftoolFolder = directory.Path() / "exiftool";
  std::filesystem::create_directories(templates);
  std::filesystem::create_directories(quillonFolder);
  std::filesystem::create_directories(exiftoolFolder);

  std::vector<Template> kinds;
  for (double target : kTemplateTargets) {
    kinds.push_back(ReadTemplate(MakeTemplate(*cjpegPath, templates, static_cast<int>(kinds.size()), target)));
  }
  std::uintmax_t totalBytes = 0;
  std::size_t smallest = SIZE_MAX, largest = 0;
  for (std::size_t i = 0; i < photos; ++i) {
    const Template& t = kinds[i % kinds.size()];
    std::string bytes = t.bytes;
    PatchTime(bytes, t, PhotoMilliseconds(i, photos));
    WriteAll(quillonFolder / PhotoName(i), bytes);
    WriteAll(exiftoolFolder / PhotoName(i), bytes);
    totalBytes += bytes.size();
    smallest = std::min(smallest, bytes.size());
    largest = std::max(largest, bytes.size());
  }
  if (static_cast<double>(smallest) < kSmallestPhoto || static_cast<double>(largest) > kLargestPhoto) {
    std::fprintf(stderr, "photos of %zu to %zu bytes: outside 2 to 4 MB\n", smallest, largest);
    return 1;
  }

  struct Program {
    std::string name;
    std::vector<std::string> argv;
    std::filesystem::path folder;
    RunResult result;
  };
  std::vector<Program> programs;
  programs.push_back({"quillon-geotag",
                      {*geotagPath, log.string(), quillonFolder.string(), "--camera-zone", "UTC"},
                      quillonFolder,
                      {}});
  programs.push_back({"exiftool",
                      {*exiftoolPath, "-geotag", log.string(), "-Geotime<SubSecDateTimeOriginal",
                       "-overwrite_original", "-q", exiftoolFolder.string()},
                      exiftoolFolder,
                      {}});
  for (Program& p : programs) {
    sync();
    const std::filesystem::path out = directory.Path() / (p.name + ".out");
    const std::filesystem::path err = directory.Path() / (p.name + ".err");
    std::optional<RunResult> result = RunMeasured(p.argv, out, err, true);
    if (!result) {
      std::fprintf(stderr, "%s failed:\n", p.name.c_str());
      PrintTail(err);
      return 1;
    }
    p.result = *result;
  }

  // Every photo's position from both folders.
  std::size_t taggedByQuillon = 0, taggedByExiftool = 0, compared = 0, mismatched = 0;
  double largestDifference = 0;
  std::string worstPhoto;
  for (std::size_t i = 0; i < photos; ++i) {
    const std::optional<Position> q = ReadPosition(quillonFolder / PhotoName(i));
    const std::optional<Position> e = ReadPosition(exiftoolFolder / PhotoName(i));
    taggedByQuillon += q ? 1 : 0;
    taggedByExiftool += e ? 1 : 0;
    if (!q || !e) continue;
    ++compared;
    const double difference = std::max(std::fabs(q->latitude - e->latitude), std::fabs(q->longitude - e->longitude));
    if (difference > kLargestDifference) ++mismatched;
    if (difference > largestDifference) {
      largestDifference = difference;
      worstPhoto = PhotoName(i);
    }
  }

  const Program& quillon = programs[0];
  const Program& tool = programs[1];
  std::printf("photos: %zu JPEGs of %.1f to %.1f MB, %.1f MB in all, in each of two folders\n", photos,
              static_cast<double>(smallest) / 1e6, static_cast<double>(largest) / 1e6,
              static_cast<double>(totalBytes) / 1e6);
  std::printf("log: %zu fixes (%.1f hours), %.1f MB\n", directory.Pairs(),
              static_cast<double>(directory.Pairs()) / 3600.0, static_cast<double>(directory.LogBytes()) / 1e6);
  std::printf("both folders written alike and synced before each run: photos in the page cache, none dirty\n");
  for (const Program* p : {&quillon, &tool}) {
    std::printf("  %-16s %8.2f s wall  %8.2f s CPU   peak RSS %6.1f MB   tagged %zu\n", p->name.c_str(),
                p->result.seconds, p->result.cpuSeconds, static_cast<double>(p->result.peakKilobytes) / 1024.0,
                p == &quillon ? taggedByQuillon : taggedByExiftool);
  }
  std::printf("exiftool / quillon-geotag:   %.1f wall, %.1f CPU\n", tool.result.seconds / quillon.result.seconds,
              tool.result.cpuSeconds / quillon.result.cpuSeconds);
  std::printf("largest position difference: %.2g degrees over %zu photos (%s; limit %.0g)\n", largestDifference,
              compared, worstPhoto.empty() ? "-" : worstPhoto.c_str(), kLargestDifference);

  const double floor = RewriteAndFlushSeconds(quillonFolder, photos);
  std::printf("the disk alone (each photo copied anew, flushed and renamed, %d at a time): %.2f s wall;"
              " quillon-geotag takes %.1f times that\n",
              kFloorThreads, floor, quillon.result.seconds / floor);

  bool agree = true;
  if (taggedByQuillon != photos || taggedByExiftool != photos) {
    std::fprintf(stderr, "tagged counts differ: quillon-geotag %zu, exiftool %zu, of %zu photos\n", taggedByQuillon,
                 taggedByExiftool, photos);
    agree = false;
  }
  if (mismatched > 0) {
    std::fprintf(stderr, "%zu photos got positions more than %.0g degrees apart\n", mismatched, kLargestDifference);
    agree = false;
  }
  return agree ? 0 : 1;
}

}  // namespace

}  // namespace quillon::bench

int main(int argc, char** argv) {
  try {
    return quillon::bench::Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quillon_geotag_ratio: %s\n", error.what());
    return 1;
  }
}
