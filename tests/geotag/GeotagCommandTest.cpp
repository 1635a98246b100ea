#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#endif

#include "cli/Geotag.h"
#include "cli/GeotagOptions.h"
#include "platform/Utf8Path.h"
#include "tests/geotag/CameraPhoto.h"
#include "tests/support/TempFolder.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::CameraPhoto;
using testing::ReadAll;

const std::string kLog = std::string(QUILLON_TEST_DATA_DIR) + "/export_three_fixes.txt";

struct CommandRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the command as its main() does, from the parsed arguments on.
CommandRun Geotag(const std::vector<std::string>& args) {
  CommandRun run;
  std::string error;
  const std::optional<GeotagOptions> options = ParseGeotagOptions(args, error);
  if (!options) {
    run.status = 2;
    run.err = error;
    return run;
  }
  std::ostringstream out, err;
  run.status = RunGeotag(*options, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// A holiday folder: photos to tag, one tagged already, one without a time,
// one taken after the logger was off, a damaged one, a text file and the
// photos of a folder within it.
class GeotagFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    CameraPhoto(dir(), "a.jpg", "2008:03:07 16:05:17", "+02:00");
    CameraPhoto(dir(), "b.png", "2008:03:07 14:05:16", "");
    CameraPhoto(dir(), "c.jpg", "");
    CameraPhoto(dir(), "d.tif", "2008:03:07 14:20:00");
    CameraPhoto(dir(), "g.jpg", "2008:03:07 15:00:00");
    std::ofstream(dir() / "e.jpg", std::ios::binary) << "not a picture at all\n";
    std::ofstream(dir() / "notes.txt") << "lake\n";
    fs::create_directory(dir() / "more");
    CameraPhoto(dir() / "more", "f.jpg", "2008:03:07 14:05:19");
  }
  fs::path dir() const { return folder_.Path(); }
  std::string Line(const fs::path& name, const std::string& rest) const {
    return (dir() / name).string() + '\t' + rest + '\n';
  }

 private:
  testing::TempFolder folder_;
};

TEST_F(GeotagFolder, TagsEachPhotoAndSaysWhatBecameOfTheOthers) {
  const std::string damaged = ReadAll(dir() / "e.jpg");
  const CommandRun first = Geotag({kLog, dir().string(), "--camera-zone", "UTC", "--clock-offset", "-0:02"});
  EXPECT_EQ(first.status, 1) << "the damaged photo failed";
  EXPECT_EQ(first.out,
            Line("a.jpg", "2008:03:07 16:05:17.50\t2008-03-07T14:05:15.500Z\t25.0521600\t-121.5095300\t36.2\ttagged") +
                Line("b.png", "2008:03:07 14:05:16.50\t2008-03-07T14:05:14.500Z\t25.0521200\t-121.5095100\t36.1\ttagged") +
                Line("c.jpg", "\t\t\t\t\tno time taken") +
                Line("d.tif", "2008:03:07 14:20:00.50\t2008-03-07T14:19:58.500Z\t25.0523000\t-121.5096000\t36.4\ttagged") +
                Line("e.jpg", "\t\t\t\t\tcannot read it as a photo: it is damaged or of no image format known here") +
                Line("g.jpg", "2008:03:07 15:00:00.50\t2008-03-07T14:59:58.500Z\t\t\t\toutside the track"));
  EXPECT_EQ(first.err, "quillon-geotag: 3 tagged, 2 left alone, 1 failed\n");
  EXPECT_EQ(ReadAll(dir() / "e.jpg"), damaged);

  // The second time round the tagged photos are left alone, the folder
  // within is read too, and a dry run changes nothing.
  const std::string tagged = ReadAll(dir() / "a.jpg");
  const CommandRun second = Geotag({kLog, (dir() / "a.jpg").string(), (dir() / "more").string(), "--camera-zone", "UTC",
                             "--recursive", "--dry-run"});
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.out,
            Line("a.jpg", "2008:03:07 16:05:17.50\t2008-03-07T14:05:17.500Z\t25.0522400\t-121.5095700\t36.3\talready has a position") +
                Line(fs::path("more") / "f.jpg", "2008:03:07 14:05:19.50\t2008-03-07T14:05:19.500Z\t25.0523000\t-121.5096000\t36.4\tto be tagged"));
  EXPECT_EQ(second.err, "quillon-geotag: 1 tagged, 1 left alone, 0 failed (dry run: no photo changed)\n");
  EXPECT_EQ(ReadAll(dir() / "a.jpg"), tagged);

  // Removing undoes what was written; a photo without a position is left.
  const CommandRun removed = Geotag({kLog, (dir() / "a.jpg").string(), (dir() / "c.jpg").string(), "--remove"});
  EXPECT_EQ(removed.status, 0);
  EXPECT_EQ(removed.err, "quillon-geotag: 1 positions removed, 1 left alone, 0 failed\n");
}

// Photo folders are named in any script, whatever the code page of the PC.
TEST(GeotagCommand, NamesOutsideTheCodePage) {
  testing::TempFolder folder;
  const fs::path made = CameraPhoto(folder.Path(), "a.jpg", "2008:03:07 14:05:17");
  const std::string before = ReadAll(made);
  const fs::path album = folder.Path() / Utf8Path("\u0424\u043e\u0442\u043e \u5199\u771f");
  const fs::path photo = album / Utf8Path("\u00d6lfeld.jpg");
  fs::create_directory(album);
  fs::copy_file(made, photo);
  const CommandRun run = Geotag({kLog, Utf8Text(album), "--camera-zone", "UTC"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Utf8Text(photo) +
                         "\t2008:03:07 14:05:17.50\t2008-03-07T14:05:17.500Z\t25.0522400\t-121.5095700\t36.3\ttagged\n");
  std::ifstream in(photo, std::ios::binary);
  const std::string after{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_NE(after, before);
  EXPECT_NE(after.find("WGS-84"), std::string::npos);
}

#ifndef _WIN32
// Stopped by a signal halfway through a folder of large photos, tagged
// several at a time, the command leaves each photo as it was or fully
// tagged, and no temporary file.
TEST(GeotagCommand, ASignalHalfwayLeavesEachPhotoWholeAndNoTemporaryFile) {
  testing::TempFolder folder;
  const fs::path album = folder.Path() / "album";
  fs::create_directory(album);
  const fs::path first = testing::LargeCameraPhoto(album, "p00.jpg", 0, 2u << 20);
  const std::string original = ReadAll(first);
  constexpr int kPhotos = 80;
  for (int i = 1; i < kPhotos; ++i) fs::copy_file(first, album / ("p" + std::to_string(10 + i) + ".jpg"));
  const std::string scan = original.substr(original.find("\xFF\xDA"));

  std::string program = QUILLON_GEOTAG_PATH, log = kLog, photos = album.string();
  char* argv[] = {program.data(), log.data(), photos.data(), nullptr};
  const std::string out = (folder.Path() / "out.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  // Sent once a photo is reported and two are being written at once.
  auto beingWritten = [&album] {
    int count = 0;
    std::error_code ec;
    for (fs::directory_iterator it(album, ec), end; !ec && it != end; it.increment(ec)) {
      count += it->path().extension() == ".tmp";
    }
    return count;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while ((ReadAll(out).empty() || beingWritten() < 2) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  ::kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status;

  int tagged = 0, untouched = 0;
  for (const auto& entry : fs::directory_iterator(album)) {
    const std::string name = entry.path().filename().string();
    EXPECT_FALSE(name.ends_with(".tmp")) << name << " stayed behind";
    const std::string bytes = ReadAll(entry.path());
    if (bytes == original) {
      ++untouched;
      continue;
    }
    ++tagged;
    EXPECT_NE(bytes.find("WGS-84"), std::string::npos) << name << " is neither as it was nor tagged";
    const std::size_t at = bytes.find("\xFF\xDA");
    EXPECT_TRUE(at != std::string::npos && bytes.compare(at, std::string::npos, scan) == 0) << name << " lost image data";
  }
  EXPECT_GT(tagged, 0);
  EXPECT_GT(untouched, 0) << "the signal came after the last photo";
}
#endif

struct UsageCase {
  std::vector<std::string> args;
  const char* error;
};

TEST(GeotagCommand, RefusesCommandLinesThatDoNotFormACommand) {
  const UsageCase cases[] = {
      {{}, "no raw log given"},
      {{"log.txt"}, "no photo or folder given"},
      {{"log.txt", "p.jpg", "--camera-zone", "Mars/Olympus"}, "unknown camera zone 'Mars/Olympus' (UTC, +HH:MM, -HH:MM or a time zone name)"},
      {{"log.txt", "p.jpg", "--clock-offset", "1:2:3:4"}, "clock offset '1:2:3:4' is not [+-]SS, [+-]MM:SS or [+-]HH:MM:SS"},
      {{"log.txt", "p.jpg", "--max-interpolation", "-5"}, "option --max-interpolation takes a number of seconds, not '-5'"},
      {{"log.txt", "p.jpg", "--max-extrapolation"}, "option --max-extrapolation needs a value"},
      {{"log.txt", "p.jpg", "--replace", "--remove"}, "--remove and --replace do not go together"},
      {{"log.txt", "p.jpg", "--all", "--tag", "x"}, "choose one of --all, --from/--to and --tag"},
      {{"log.txt", "p.jpg", "--from", "2008,3,7,14,5"}, "option --from takes Y,M,D,H (four values)"},
      {{"log.txt", "p.jpg", "--verbose"}, "unknown option --verbose"},
  };
  for (const UsageCase& c : cases) {
    const CommandRun run = Geotag(c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, c.error);
  }
}

TEST(GeotagCommand, ALogWithoutFixesChangesNoPhoto) {
  testing::TempFolder folder;
  const fs::path photo = CameraPhoto(folder.Path(), "a.jpg", "2008:03:07 14:05:11");
  const std::string before = ReadAll(photo);
  const fs::path log = folder.Path() / "empty.txt";
  std::ofstream(log) << "@Logger memory dump\n";
  const CommandRun run = Geotag({log.string(), photo.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "quillon-geotag: '" + log.string() + "' holds no position fix in the chosen range; no photo changed\n");
  EXPECT_EQ(ReadAll(photo), before);

  const CommandRun missing = Geotag({(folder.Path() / "gone.txt").string(), photo.string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "quillon-geotag: cannot read '" + (folder.Path() / "gone.txt").string() + "': no such file\n");
}

}  // namespace
}  // namespace quillon
