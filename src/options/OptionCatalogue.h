#pragma once
// Every option of the program with its default. Keys are grouped by app., profile. and ui.

#include "options/Option.h"

namespace options {

extern Option appCaptureVisible;                // app.capture_visible
extern Option appCloseMinimize;                 // app.close_minimize
extern Option appFirstStart;                    // app.first_start
extern Option appHotkeyEditor;                  // app.hotkey.editor
extern Option appHotkeyEditorHold;              // app.hotkey.editor.hold
extern Option appLaunchWindows;                 // app.launch_windows
extern Option appStartMinimized;                // app.start_minimized
extern Option previousVersion;                  // previous_version (deferred)
extern Option profileHotkeyMagnification;       // profile.hotkey.magnification
extern Option profileHotkeyMagnificationHold;   // profile.hotkey.magnification.hold
extern Option profileMagnificationFactor;       // profile.magnification.factor
extern Option profileMagnificationMouseAdjust;  // profile.magnification.mouse_adjust
extern Option profileMaskDist;                  // profile.mask.dist
extern Option profileMaskOuterColor;            // profile.mask.outer_color
extern Option profileMaskTransColor;            // profile.mask.trans_color
extern Option profileMaskTransdist;             // profile.mask.transdist
extern Option profileMaskType;                  // profile.mask.type
extern Option profileSrcDisplay;                // profile.src.display
extern Option profileSrcOffset;                 // profile.src.offset
extern Option profileTargetDisplay;             // profile.target.display
extern Option profileTargetOffset;              // profile.target.offset
extern Option profileTargetSize;                // profile.target.size
extern Option uiLanguage;                       // ui.language
extern Option uiTheme;                          // ui.theme
extern Option uiWindowRect;                     // ui.window.rect
extern Option uiWindowVisible;                  // ui.window.visible

// Created at start-up, never saved.
constexpr const char* kLanguagesJsonKey = "ui.languages_json";

}  // namespace options
