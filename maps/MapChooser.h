#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "maps/MapChoice.h"
#include "maps/MbTiles.h"
#include "platform/KeyStore.h"

namespace quillon {

// The Track View's choice of map, without the window: the drop-down's
// entries (the sources of the sources file, the built-in ones and MBTiles
// files the user opened), the one shown, and remembering it in the per-user
// key store for the next time.
class MapChooser {
 public:
  // Reads the sources file and the remembered choice; `store` may be null.
  MapChooser(std::unique_ptr<KeyStore> store, const std::string& sourcesFile);

  const std::vector<MapChoice>& Choices() const { return choices_; }
  std::size_t Chosen() const { return chosen_; }
  // The entry remembered from the last time; 0 (no map) when it is gone.
  std::size_t Remembered() const { return remembered_; }
  // What went wrong while reading the sources file or the remembered file,
  // for the status line ("" when nothing did).
  const std::string& LoadProblem() const { return loadProblem_; }

  struct Shown {
    std::size_t index = 0;
    // The open MBTiles file of a file entry.
    std::unique_ptr<MbTiles> file;
    // Why the entry asked for could not be shown ("" when it could).
    std::string problem;
  };
  // Makes entry `index` the one shown; an entry whose file no longer opens
  // gives no map. The entry shown is remembered when `remember` is set.
  Shown Show(std::size_t index, bool remember);

  // The entry of the MBTiles file at `path`, added when it is not one yet;
  // nothing, with `error` set, when the file does not open as one.
  std::optional<std::size_t> AddFile(const std::string& path, std::string& error);

 private:
  // Opens a file entry's file, or hands over the one opened for its entry.
  std::unique_ptr<MbTiles> OpenFile(const std::string& path, std::string& error);

  std::unique_ptr<KeyStore> store_;
  std::vector<MapChoice> choices_;
  std::size_t chosen_ = 0;
  std::size_t remembered_ = 0;
  std::string loadProblem_;
  // A file opened to read its metadata, kept for its first showing.
  std::string openedPath_;
  std::unique_ptr<MbTiles> opened_;
};

}  // namespace quillon
