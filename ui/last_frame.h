// Closes windows on Wayland only once the compositor has answered their last frame.
#pragma once

#include <QMessageBox>

class QWidget;

namespace virurad {

// Qt 6.4's Wayland plugin takes the compositor's answer to a frame on a thread of its own and
// frees it there without a lock, while hiding the window frees it too if it has not come yet: a
// window hidden just as the answer arrives frees it twice, which aborts the game in libwayland
// or corrupts a buffer made later. This returns once no answer is outstanding for `window`, so
// that it can be hidden; at once where the platform is not Wayland or the window is not shown,
// and after a few seconds at most where the compositor never answers. The player's input waits.
void waitForLastFrame(QWidget *window);

// A message box that waits for its last frame before it closes, however it is closed.
class FrameSafeMessageBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;
    void done(int result) override;
};

} // namespace virurad
