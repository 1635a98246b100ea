#include "logdata/RawLogLoader.h"

#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "core/MessageTexts.h"
#include "platform/MemoryAdvice.h"

namespace quillon {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

LoadOutcome LoadRawLog(AppState& state) {
  std::error_code error;
  FileHandle file;
  // Only a regular file: a folder cannot be read and a pipe would block.
  if (std::filesystem::is_regular_file(state.rawLogPath, error)) file.reset(std::fopen(state.rawLogPath.c_str(), "rb"));
  if (!file) return LoadOutcome::kCannotOpen;
  // The size from the file system: ftell's long has 32 bits on Windows, where
  // a 4 GiB file would read as empty.
  const std::uintmax_t length = std::filesystem::file_size(state.rawLogPath, error);
  if (error) return LoadOutcome::kCannotOpen;

  state.rawLogText.reset();
  // Sentence spans address the text with 32-bit offsets; a text they cannot
  // address is one this program cannot hold.
  std::shared_ptr<std::string> text;
  try {
    text = std::make_shared<std::string>();
    if (length > std::numeric_limits<std::uint32_t>::max() || length > text->max_size()) {
      throw std::bad_alloc();
    }
    text->reserve(static_cast<std::size_t>(length));
    PreferHugePages(text->data(), text->capacity());
    text->resize(static_cast<std::size_t>(length));
  } catch (const std::bad_alloc&) {
    return LoadOutcome::kMemoryNotEnough;
  }
  std::size_t read = text->empty() ? 0 : std::fread(text->data(), 1, text->size(), file.get());
  text->resize(read);
  state.rawLogText = std::move(text);
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
