#pragma once

#include <string>
#include <string_view>

namespace quillon {

// The export folders under the working directory.
inline constexpr std::string_view kCsvFolder = "Output File";
inline constexpr std::string_view kKmlFolder = "GoogleEarth";
inline constexpr std::string_view kTrackmakerFolder = "TrackMaker";
inline constexpr std::string_view kLocrFolder = "locr";
inline constexpr std::string_view kGpxFolder = "GPX";

// Remembers the working directory, creates the folder of that name under it
// (an existing folder is fine) and makes it the working directory. Returns the
// remembered folder. When the working directory cannot be read or the folder
// cannot be entered, the working directory stays where it was, so the writer
// writes there.
std::string EnterOutputFolder(std::string_view folderName);

// Makes the remembered folder the working directory again.
void LeaveOutputFolder(const std::string& rememberedFolder);

// Enters an output folder for the lifetime of the object, so that every path
// out of an export returns to the folder it started in.
class OutputFolderScope {
 public:
  explicit OutputFolderScope(std::string_view folderName) : remembered_(EnterOutputFolder(folderName)) {}
  ~OutputFolderScope() { Leave(); }
  OutputFolderScope(const OutputFolderScope&) = delete;
  OutputFolderScope& operator=(const OutputFolderScope&) = delete;

  // Returns to the remembered folder now; later calls do nothing.
  void Leave();

 private:
  std::string remembered_;
  bool left_ = false;
};

}  // namespace quillon
