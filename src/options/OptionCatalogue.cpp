#include "options/OptionCatalogue.h"

namespace options {

Option appCaptureVisible("app.capture_visible", 0, 0);
Option appCloseMinimize("app.close_minimize", 0, 0);
Option appFirstStart("app.first_start", 1, 0);
Option appHotkeyEditor("app.hotkey.editor", 10527323, 0);  // LWin + LCtrl + LShift
Option appHotkeyEditorHold("app.hotkey.editor.hold", 0, 0);
Option appLaunchWindows("app.launch_windows", 0, 0);
Option appStartMinimized("app.start_minimized", 0, 0);
Option previousVersion("previous_version", 0, Option::kDeferred);
Option profileHotkeyMagnification("profile.hotkey.magnification", 674, 0);  // LCtrl + right mouse button
Option profileHotkeyMagnificationHold("profile.hotkey.magnification.hold", 0, 0);
Option profileMagnificationFactor("profile.magnification.factor", 200, 0);
Option profileMagnificationMouseAdjust("profile.magnification.mouse_adjust", 0, 0);
Option profileMaskDist("profile.mask.dist", 490, 0);
Option profileMaskOuterColor("profile.mask.outer_color", 1.0f, 1.0f, 1.0f, 0.0f, 0);
Option profileMaskTransColor("profile.mask.trans_color", 1.0f, 1.0f, 1.0f, 1.0f, 0);
Option profileMaskTransdist("profile.mask.transdist", 10, 0);
Option profileMaskType("profile.mask.type", 0, 0);
Option profileSrcDisplay("profile.src.display", "", 0);
Option profileSrcOffset("profile.src.offset", 0, 0, 0);
Option profileTargetDisplay("profile.target.display", "", 0);
Option profileTargetOffset("profile.target.offset", 0, 0, 0);
Option profileTargetSize("profile.target.size", 40000, 40000, 0);
Option uiLanguage("ui.language", "", 0);
Option uiTheme("ui.theme", 0, 0);
Option uiWindowRect("ui.window.rect", "[0, 0, 0, 0]", 0);
Option uiWindowVisible("ui.window.visible", "", 0);

}  // namespace options
