#pragma once

namespace quillon::ui {

// Lets the toolkit's edit fields, combo boxes, check boxes and radio buttons
// fit the heights of a classic dialog layout (12 to 15 dialog units), which
// the default GTK 3 theme pads beyond. Does nothing on other toolkits.
void UseCompactControlStyle();

}  // namespace quillon::ui
