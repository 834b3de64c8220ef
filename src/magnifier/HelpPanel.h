#pragma once
// The help panel of editor mode: the help text laid out in a panel at the top centre of the target
// display, painted into the help window's full-display texture and shown in the help window. Render
// thread only.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/PixelRect.h"

namespace platform {
class IOverlayWindow;
}
class RenderEngine;
class RenderTexture;

class HelpPanel {
public:
    // The family the help text is set in: "Segoe UI", else a common desktop family, else "Consolas",
    // else the first of the list; "Arial" for an empty list.
    static std::u16string ChooseFont(const std::vector<std::u16string>& families);

    // Paints the panel for this text and display when either changed (a new revision is a new text)
    // and shows it in window, again at most every half second.
    void Draw(RenderEngine& engine, RenderTexture& target, platform::IOverlayWindow* window,
              const platform::PixelRect& display, const std::u16string& text, uint64_t revision);
    // The next Draw shows the panel at once (editor mode was entered).
    void ShowAgainNow() { presentedAt_ = {}; }

private:
    void Layout(const std::u16string& text);

    std::u16string fontFamily_;
    uint64_t laidOutRevision_ = 0;
    bool laidOut_ = false;
    float rect_[4] = {0, 0, 1000, 100};  // the text's box, from (0, 0)
    int contextWidth_ = 0, contextHeight_ = 0;
    bool imageDirty_ = true;
    std::chrono::steady_clock::time_point presentedAt_{};
};
