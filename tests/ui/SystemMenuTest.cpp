// Windows' system menu of the Main Window: the About item after a separator,
// then the extra commands, enabled as their commands allow; choosing About
// opens the About Box.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/timer.h>

#include "app/CommandRouter.h"
#include "app/WindowRunners.h"
#include "core/ControlIds.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ColouredMessageBox.h"
#include "ui/MainWindow.h"

namespace quillon::uitest {
namespace {

std::string MenuText(HMENU menu, UINT id) {
  wchar_t text[128] = {};
  if (::GetMenuStringW(menu, id, text, 128, MF_BYCOMMAND) <= 0) return "";
  return wxString(text).utf8_string();
}

TEST(SystemMenuTest, AboutAndTheExtraCommandsFollowTheWindowsOwnItems) {
  RunFolder folder(true, true);
  RecordedMessageBoxes boxes;
  ui::OwnerlessMessageBoxes ownerless;
  CommandRouter router{ownerless, MakeSystemShell(), MakeUserKeyStore()};
  ui::MainWindow window{router.State(), router};
  AttachWindows(router, window);
  HWND handle = static_cast<HWND>(window.GetHWND());
  HMENU menu = ::GetSystemMenu(handle, FALSE);
  ASSERT_NE(menu, nullptr);

  const int count = ::GetMenuItemCount(menu);
  std::vector<UINT> ids;
  for (int i = 0; i < count; ++i) ids.push_back(::GetMenuItemID(menu, i));
  const std::vector<UINT> ours = {0, ids::kAboutCommand, 0, ids::kBuildGpxFile, ids::kTrackView, ids::kOpenRawLog,
#ifdef QUILLON_PHOTO_GEOTAG
                                  ids::kGeotagPhotos,
#endif
  };
  ASSERT_GE(ids.size(), ours.size());
  EXPECT_EQ(std::vector<UINT>(ids.end() - ours.size(), ids.end()), ours) << "separators read as 0";
  EXPECT_EQ(MenuText(menu, ids::kAboutCommand), "關於 Quillon(&A)...");
  EXPECT_EQ(MenuText(menu, ids::kBuildGpxFile), "Build GPX File\tCtrl+G");

  bool aboutShown = false;
  WhileModal(window, [&] {
    wxTimer closer;
    closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      if (wxDialog* about = FindDialog(wxString::FromUTF8("關於 Quillon"))) {
        aboutShown = true;
        SaveScreenshot(about, "about_box_system_menu");
        about->EndModal(wxID_OK);
      }
    });
    closer.Start(200);
    // Windows sends the command with its low four bits free for itself.
    ::SendMessageW(handle, WM_SYSCOMMAND, ids::kAboutCommand | 0x3, 0);
    closer.Stop();
  });
  EXPECT_TRUE(aboutShown);
}

}  // namespace
}  // namespace quillon::uitest
