#include "logdata/RawLogLoader.h"

#include <cstdint>
#include <limits>

#include "core/MessageTexts.h"
#include "platform/FileBytes.h"

namespace quillon {

namespace {

// Sentence spans address the text with 32-bit offsets; a text they cannot
// address is one this program cannot hold.
constexpr std::uint64_t kMostRawLogBytes = std::numeric_limits<std::uint32_t>::max();

// The loaded text, or why there is none.
LoadOutcome Loaded(AppState& state, FileBytesOutcome outcome, SharedText text) {
  switch (outcome) {
    case FileBytesOutcome::kCannotOpen:
      return LoadOutcome::kCannotOpen;
    case FileBytesOutcome::kTooLarge:
      state.rawLogText.reset();
      return LoadOutcome::kMemoryNotEnough;
    case FileBytesOutcome::kRead:
      break;
  }
  state.rawLogText = std::move(text);
  return LoadOutcome::kLoaded;
}

}  // namespace

LoadOutcome LoadRawLog(AppState& state) {
  SharedText text;
  const FileBytesOutcome outcome = ReadFileBytes(state.rawLogPath, kMostRawLogBytes, text);
  return Loaded(state, outcome, std::move(text));
}

LoadOutcome LoadRawLogFrom(AppState& state, const PositionalFile& file) {
  SharedText text;
  const FileBytesOutcome outcome = ReadAllBytes(file, text);
  return Loaded(state, outcome, std::move(text));
}

LoadOutcome OpenRawLogForPieces(const std::string& path, std::unique_ptr<PositionalFile>& file) {
  switch (OpenPositionalFile(path, kMostRawLogBytes, file)) {
    case FileBytesOutcome::kCannotOpen:
      return LoadOutcome::kCannotOpen;
    case FileBytesOutcome::kTooLarge:
      return LoadOutcome::kMemoryNotEnough;
    case FileBytesOutcome::kRead:
      break;
  }
  return LoadOutcome::kLoaded;
}

void ShowLoadOutcome(MessageBoxes& boxes, LoadOutcome outcome) {
  switch (outcome) {
    case LoadOutcome::kCannotOpen:
      boxes.ShowMessage(kCantOpenRawLogMessage, kInfoCaption);
      break;
    case LoadOutcome::kMemoryNotEnough:
      boxes.ShowMessage(kMemoryNotEnoughMessage, kNoCaption);
      break;
    case LoadOutcome::kLoaded:
      break;
  }
}

}  // namespace quillon
