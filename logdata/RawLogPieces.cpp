#include "logdata/RawLogPieces.h"

#include <algorithm>
#include <cstring>

#include "logdata/RawLogParser.h"

namespace quillon {

namespace {

// How far past a piece's nominal end its bytes are first read: enough for
// the line there and the next, where the next piece normally starts.
constexpr std::uint64_t kFirstLookBeyond = 1024;

// Reads the log's bytes [from, to) into out.bytes, as many as the log gives.
void ReadBytes(const RawLogSource& log, std::uint64_t from, std::uint64_t to, PieceBytes& out) {
  const auto count = static_cast<std::size_t>(to - from);
  if (out.bytes.size() < count) out.bytes.resize(count);
  std::size_t done = 0;
  while (done < count) {
    const std::size_t n = log.read(from + done, out.bytes.data() + done, count - done);
    if (n == 0) break;
    done += n;
  }
  out.text = std::string_view(out.bytes.data(), done);
}

// The start of the line after the LF at or after `from`, or npos.
std::size_t LineAfter(std::string_view text, std::size_t from) {
  const std::size_t lf = text.find('\n', from);
  return lf == std::string_view::npos ? lf : lf + 1;
}

}  // namespace

RawLogSource TextSource(std::string_view text) {
  return {text.size(), [text](std::uint64_t offset, char* to, std::size_t count) -> std::size_t {
            if (offset >= text.size()) return 0;
            const std::size_t n = std::min<std::size_t>(count, text.size() - static_cast<std::size_t>(offset));
            std::memcpy(to, text.data() + offset, n);
            return n;
          }};
}

std::size_t PieceCount(std::uint64_t size, std::size_t pieceSize) {
  pieceSize = std::max<std::size_t>(pieceSize, 1);
  return static_cast<std::size_t>(std::max<std::uint64_t>((size + pieceSize - 1) / pieceSize, 1));
}

void ReadPiece(const RawLogSource& log, std::size_t piece, std::size_t pieces, std::size_t pieceSize,
               PieceBytes& out) {
  pieceSize = std::max<std::size_t>(pieceSize, 1);
  const std::uint64_t from = std::uint64_t{piece} * pieceSize;
  const bool last = piece + 1 >= pieces;
  const std::uint64_t next = last ? log.size : std::min(log.size, from + pieceSize);
  // From one byte before `from`: the piece starts after the line end at or
  // after `from`, which PieceStart finds from any offset but 0.
  const std::uint64_t readFrom = from > 0 ? std::min(from, log.size) - 1 : 0;
  const auto at = static_cast<std::size_t>(from - readFrom);
  for (std::uint64_t beyond = kFirstLookBeyond;; beyond *= 2) {
    const std::uint64_t readTo = last ? log.size : std::min(log.size, next + beyond);
    ReadBytes(log, readFrom, std::max(readTo, readFrom), out);
    const std::string_view text = out.text;
    // At the log's end, or where the log gave fewer bytes than it had (it
    // has shrunk since): nothing further is there to read.
    const bool toTheEnd = readTo >= log.size || text.size() < readTo - readFrom;
    if (!last && from > 0 && text.size() >= next - readFrom &&
        text.find('\n', at) >= static_cast<std::size_t>(next - readFrom)) {
      // No LF from this piece's offset to the next one's: both pieces start
      // after the same LF, however far on it lies, so this one is empty.
      // Found without reading on to it, so that a log without LFs (CR line
      // ends, erased memory) costs each piece its own bytes only.
      out.begin = out.end = text.size();
      return;
    }
    out.begin = PieceStart(text, at);
    if (last) {
      out.end = text.size();
      return;
    }
    const auto nextAt = static_cast<std::size_t>(next - readFrom);
    if (out.begin == text.size() && !toTheEnd) {
      // No GGA line starts among the bytes read. Once they hold the whole
      // line after the one the next piece's offset lies in, this piece
      // would start beyond that line, where the next piece starts too.
      const std::size_t after = LineAfter(text, nextAt);
      if (after != std::string_view::npos && LineAfter(text, after) != std::string_view::npos) {
        out.end = out.begin;
        return;
      }
      continue;
    }
    out.end = PieceStart(text, nextAt);
    if (out.end < text.size() || toTheEnd) return;
  }
}

bool RawLogHoldsAFix(const RawLogSource& log, std::size_t pieceSize) {
  const std::size_t pieces = PieceCount(log.size, pieceSize);
  PieceBytes bytes;
  RecordBlock records;
  for (std::size_t piece = 0; piece < pieces; ++piece) {
    ReadPiece(log, piece, pieces, pieceSize, bytes);
    if (bytes.begin >= bytes.end) continue;
    ParsePiece(bytes.text, bytes.begin, bytes.end, records);
    if (!records.empty()) return true;
  }
  return false;
}

}  // namespace quillon
