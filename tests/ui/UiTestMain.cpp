// The GUI tests run inside a real wx application on an X display (Xvfb when
// there is none). Listing the tests needs no display.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "tests/support/Environment.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UserFolderVariables.h"
#include "ui/GtkCompactStyle.h"

namespace {

class UiTestApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  // Each run has configuration and cache folders of its own: nothing a user
  // of this machine chose (a map source, a remembered setting) reaches the
  // windows under test, and the tests leave nothing in the user's folders.
  const quillon::testing::TempFolder home("quillon-ui-home-");
  quillon::testing::SetEnvironment(quillon::testing::kConfigHomeVariable, (home.Path() / "config").string().c_str());
  quillon::testing::SetEnvironment(quillon::testing::kCacheHomeVariable, (home.Path() / "cache").string().c_str());
  wxApp::SetInstance(new UiTestApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
    fprintf(stderr, "cannot start the window toolkit (is there an X display?)\n");
    return 1;
  }
  // wx's own complaints go to the test log, not into a dialog at exit.
  delete wxLog::SetActiveTarget(new wxLogStderr);
  wxInitAllImageHandlers();
  quillon::ui::UseCompactControlStyle();
  int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
