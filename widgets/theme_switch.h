#pragma once

// Whether the widgets draw their visual-style look (the shaded radio and
// check images, the gauge's shaded frames, the parent showing through a
// transparent check control) or the classic flat look. One switch for the
// whole program; tests set it both ways.
namespace Widgets {

bool ThemesEnabled();
void SetThemesEnabled(bool Enabled);

}  // namespace Widgets
