#include "logdata/RangeAndTags.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/ControlIds.h"

namespace quillon {

namespace {

std::string Format(const char* format, int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

void ShowFixTime(WindowView& view, const FixRecord& record, bool localTime, int yearId, int monthId, int dayId,
                 int hourId) {
  view.SetItemText(yearId, Format("%04d", 2000 + (localTime ? record.localYear : record.utcYear)));
  view.SetItemText(monthId, Format("%02d", localTime ? record.localMonth : record.utcMonth));
  view.SetItemText(dayId, Format("%02d", localTime ? record.localDay : record.utcDay));
  view.SetItemText(hourId, Format("%02d", localTime ? record.localHour : record.utcHour));
}

bool ShowDateRange(const FixList& fixList, WindowView& view) {
  if (fixList.Empty()) return false;
  bool localTime = view.IsChecked(ids::kUseLocalTime);
  ShowFixTime(view, fixList[0], localTime, ids::kFromYear, ids::kFromMonth, ids::kFromDay, ids::kFromHour);
  ShowFixTime(view, fixList[fixList.Size() - 1], localTime, ids::kToYear, ids::kToMonth, ids::kToDay,
              ids::kToHour);
  return true;
}

}  // namespace

bool ShowRangeAndTags(AppState& state, WindowView& view) {
  if (!ShowDateRange(state.fixList, view)) return false;
  int lastTag = -1;
  std::vector<ComboModel::Item> items;
  for (const FixRecord& record : state.fixList.Records()) {
    if (record.untagged || record.tag == lastTag) continue;
    items.push_back({Format("%03d", record.tag), static_cast<std::intptr_t>(items.size())});
    lastTag = record.tag;
  }
  // A log whose tag changes at many fixes gives many items: add them in one go.
  const bool anyTag = !items.empty();
  state.tagBox.AddItems(std::move(items));
  if (!anyTag) {
    int index = state.tagBox.AddString(kNoAnyTagItem);
    state.tagBox.SetItemData(index, 0);
    state.tagBox.SetCurSel(0);
  }
  return true;
}

void OnUseLocalTime(AppState& state, WindowView& view) { ShowDateRange(state.fixList, view); }

}  // namespace quillon
