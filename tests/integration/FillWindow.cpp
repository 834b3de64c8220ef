#include "integration/FillWindow.h"

#include "integration/TestWindow.h"

FillWindow::FillWindow(const platform::PixelRect& rect) : window_(std::make_unique<TestWindow>(rect)) {}
FillWindow::~FillWindow() = default;
bool FillWindow::shown() const { return window_->shown(); }
void FillWindow::Fill(const platform::PixelRect& onScreen, uint32_t rgb) { window_->Fill(onScreen, rgb); }
