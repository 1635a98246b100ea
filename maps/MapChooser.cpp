#include "maps/MapChooser.h"

#include <utility>

#include "maps/MapSourcesFile.h"

namespace quillon {

MapChooser::MapChooser(std::unique_ptr<KeyStore> store, const std::string& sourcesFile) : store_(std::move(store)) {
  const MapSourcesFile loaded = LoadMapSources(sourcesFile);
  choices_ = ChoicesFromSources(loaded.sources);
  std::string remembered;
  if (std::unique_ptr<KeyStoreKey> key = store_ ? store_->CreateKey(kTrackViewKey) : nullptr) {
    if (std::optional<std::string> value = key->QueryValue(kMapValue, 4096)) {
      remembered = *value;
      while (!remembered.empty() && remembered.back() == '\0') remembered.pop_back();
    }
  }
  if (!loaded.errors.empty()) loadProblem_ = "Map: " + DescribeError("map-sources.ini", loaded.errors.front());
  if (const std::optional<std::string> path = RememberedFile(remembered)) {
    std::string error;
    if (!AddFile(*path, error)) loadProblem_ = "Map: " + error;
  }
  remembered_ = FindRemembered(choices_, remembered);
}

std::unique_ptr<MbTiles> MapChooser::OpenFile(const std::string& path, std::string& error) {
  if (opened_ && openedPath_ == path) {
    openedPath_.clear();
    return std::move(opened_);
  }
  return MbTiles::Open(path, error);
}

MapChooser::Shown MapChooser::Show(std::size_t index, bool remember) {
  Shown shown;
  if (index < choices_.size() && choices_[index].IsFile()) {
    std::string error;
    shown.file = OpenFile(choices_[index].file, error);
    if (!shown.file) {
      shown.problem = "Map: " + error;
      index = 0;
    }
  }
  if (index >= choices_.size()) index = 0;
  chosen_ = shown.index = index;
  if (remember) {
    if (std::unique_ptr<KeyStoreKey> key = store_ ? store_->CreateKey(kTrackViewKey) : nullptr) {
      key->SetString(kMapValue, RememberedText(choices_[chosen_]));
    }
  }
  return shown;
}

std::optional<std::size_t> MapChooser::AddFile(const std::string& path, std::string& error) {
  std::unique_ptr<MbTiles> file = MbTiles::Open(path, error);
  if (!file) return std::nullopt;
  std::size_t index = 0;
  while (index < choices_.size() && choices_[index].file != path) ++index;
  if (index == choices_.size()) {
    const MbTilesMetadata& meta = file->Metadata();
    choices_.push_back(FileChoice(path, meta.name, meta.attribution, meta.minZoom, meta.maxZoom));
  }
  openedPath_ = path;
  opened_ = std::move(file);
  return index;
}

}  // namespace quillon
