#include "fuzz/ExportChecks.h"

#include <cstddef>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "export/CsvWriter.h"
#include "export/GpxWriter.h"
#include "export/KmlWriter.h"
#include "export/LocrWriter.h"
#include "export/RangeSelection.h"
#include "export/TrackmakerWriter.h"
#include "fuzz/XmlWellFormed.h"

namespace quillon::fuzz {

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

// A cell a spreadsheet reads as a plain number: a sign, digits with at most
// one point, at least one digit.
bool IsNumber(std::string_view cell) {
  if (!cell.empty() && (cell[0] == '-' || cell[0] == '+')) cell.remove_prefix(1);
  bool digit = false;
  bool point = false;
  for (char c : cell) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      digit = true;
    } else {
      return false;
    }
  }
  return digit;
}

// The records of a CSV text as a reader of RFC 4180 splits them (LF or CR LF
// ends a record outside quotes), each a list of unquoted cells. False when a
// quote stands where no reader expects one or a bare CR is in a cell.
bool SplitCsv(std::string_view text, std::vector<std::vector<std::string>>& records) {
  records.assign(1, std::vector<std::string>(1));
  std::size_t i = 0;
  bool cellStart = true;
  while (i < text.size()) {
    const char c = text[i];
    std::string& cell = records.back().back();
    if (c == '"' && cellStart) {
      for (++i;; ++i) {
        if (i >= text.size()) return false;
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            cell += '"';
            ++i;
          } else {
            break;
          }
        } else {
          cell += text[i];
        }
      }
      ++i;
      if (i < text.size() && text[i] != ',' && text[i] != '\n' && text.substr(i, 2) != "\r\n") return false;
      cellStart = false;
      continue;
    }
    if (c == ',') {
      records.back().emplace_back();
      cellStart = true;
    } else if (c == '\n' || text.substr(i, 2) == "\r\n") {
      if (c == '\r') ++i;
      records.emplace_back(1);
      cellStart = true;
    } else if (c == '"' || c == '\r') {
      return false;
    } else {
      cell += c;
      cellStart = false;
    }
    ++i;
  }
  return true;
}

void CheckCsv(const FixList& selection, bool useLocalTime) {
  std::ostringstream out;
  WriteCsv(out, selection, useLocalTime);
  std::vector<std::vector<std::string>> records;
  Require(SplitCsv(out.str(), records));
  // Header, one row per fix, the total line.
  Require(records.size() == selection.Size() + 2);
  const std::size_t fields = records.front().size();
  // The cells copied from the log: longitude, latitude, course. The others
  // are numbers the writer prints ("-inf" of a huge altitude included). A
  // lone minus, the sign of an empty coordinate, is text to a spreadsheet.
  constexpr std::size_t kCopiedCells[] = {0, 1, 3};
  for (std::size_t i = 1; i + 1 < records.size(); ++i) {
    Require(records[i].size() == fields);
    for (std::size_t column : kCopiedCells) {
      const std::string& cell = records[i][column];
      const bool formula = !cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos;
      Require(!formula || IsNumber(cell) || cell == "-");
    }
  }
  Require(records.back().size() == 1 && records.back()[0].starts_with("Total distance : "));
}

void CheckKml(const FixList& selection) {
  std::ostringstream out;
  WriteKml(out, selection);
  Require(IsWellFormedXml(out.str()));
}

void CheckGpx(const FixList& selection) {
  std::ostringstream out;
  const GpxCounts counts = WriteGpx(out, selection, "Fuzz");
  Require(IsWellFormedXml(out.str()));
  Require(counts.trackPoints + counts.leftOut == selection.Size());
}

// The datum line, then one LF-terminated line per fix.
std::vector<std::string_view> LinesAfterDatum(std::string_view text) {
  Require(text.starts_with(std::string(kDatumLine) + "\r\n"));
  text.remove_prefix(std::string_view(kDatumLine).size() + 2);
  Require(text.empty() || text.back() == '\n');
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    lines.push_back(text.substr(0, lf));
    text.remove_prefix(lf + 1);
  }
  return lines;
}

void CheckTrackmaker(const FixList& selection, bool useLocalTime) {
  std::ostringstream out;
  WriteTrackmaker(out, selection, useLocalTime);
  const std::string text = out.str();
  const std::vector<std::string_view> lines = LinesAfterDatum(text);
  Require(lines.size() == selection.Size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Require(lines[i].starts_with("TP,D,"));
    Require(lines[i].ends_with(i == 0 ? ",1" : ",0"));
  }
}

void CheckLocr(const FixList& selection) {
  std::ostringstream out;
  WriteLocr(out, selection);
  const std::string text = out.str();
  const std::vector<std::string_view> lines = LinesAfterDatum(text);
  Require(lines.size() == selection.Size());
  for (std::size_t i = 0; i < lines.size(); ++i) Require(lines[i] == selection.RmcSentence(selection[i]));
}

void CheckWriters(const FixList& selection, bool useLocalTime) {
  CheckCsv(selection, useLocalTime);
  CheckKml(selection);
  CheckGpx(selection);
  CheckTrackmaker(selection, useLocalTime);
  CheckLocr(selection);
}

// The eight date boxes as a user would type them from the tag box's reload:
// four-digit years, the month, day and hour of the fix.
void SetDateBoxes(RangeRequest& request, std::size_t from, const FixRecord& r) {
  const bool local = request.useLocalTime;
  request.dateTexts[from] = std::to_string(2000 + (local ? r.localYear : r.utcYear));
  request.dateTexts[from + 1] = std::to_string(local ? r.localMonth : r.utcMonth);
  request.dateTexts[from + 2] = std::to_string(local ? r.localDay : r.utcDay);
  request.dateTexts[from + 3] = std::to_string(local ? r.localHour : r.utcHour);
}

bool Contains(const FixList& selection, const FixRecord& record) {
  for (const FixRecord& r : selection.Records()) {
    if (r.sequence == record.sequence && r.rmcSentence.offset == record.rmcSentence.offset) return true;
  }
  return false;
}

}  // namespace

void CheckExports(AppState& state) {
  const FixList& fixes = state.fixList;
  const bool useLocalTime = fixes.Size() % 2 == 1;

  RangeRequest all;
  all.mode = kRangeAllMode;
  const RangeOutcome allOutcome = PrepareSelection(state, all);
  if (fixes.Empty()) {
    Require(allOutcome == RangeOutcome::kNoFixes);
    CheckWriters(state.selectionList, useLocalTime);
    return;
  }
  Require(allOutcome == RangeOutcome::kSelected && state.selectionList.Size() == fixes.Size());
  CheckWriters(state.selectionList, useLocalTime);

  // A range from a fix's hour to itself holds that fix, whatever its date.
  const FixRecord& first = fixes[0];
  const FixRecord& last = fixes[fixes.Size() - 1];
  for (const FixRecord* edge : {&first, &last}) {
    RangeRequest byDate;
    byDate.mode = kRangeByDateMode;
    byDate.useLocalTime = useLocalTime;
    SetDateBoxes(byDate, 0, *edge);
    SetDateBoxes(byDate, 4, *edge);
    if (PrepareSelection(state, byDate) == RangeOutcome::kSelected) Require(Contains(state.selectionList, *edge));
  }
  RangeRequest span;
  span.mode = kRangeByDateMode;
  span.useLocalTime = useLocalTime;
  SetDateBoxes(span, 0, first);
  SetDateBoxes(span, 4, last);
  if (PrepareSelection(state, span) == RangeOutcome::kSelected) CheckWriters(state.selectionList, useLocalTime);

  // A tag selects exactly the tagged fixes with its number.
  const FixRecord& middle = fixes[fixes.Size() / 2];
  if (!middle.untagged) {
    RangeRequest byTag;
    byTag.mode = kRangeByTagMode;
    byTag.tagText = std::to_string(middle.tag);
    Require(PrepareSelection(state, byTag) == RangeOutcome::kSelected);
    std::size_t expected = 0;
    for (const FixRecord& r : fixes.Records()) expected += !r.untagged && r.tag == middle.tag;
    Require(state.selectionList.Size() == expected);
    for (const FixRecord& r : state.selectionList.Records()) Require(!r.untagged && r.tag == middle.tag);
    CheckWriters(state.selectionList, useLocalTime);
  }
}

}  // namespace quillon::fuzz
