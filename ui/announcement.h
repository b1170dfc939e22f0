// Sentences a screen reader speaks that no control's name or value says: what a key played, a
// new game.
#pragma once

class QString;
class QWidget;

namespace virurad {

// Has the screen reader say `text` now, on behalf of `window`. Qt 6.8 and later announce it as
// such; before, a notification appears for it, which Orca reads out as "notification" and the
// text. Does nothing while no assistive technology listens.
void announce(QWidget *window, const QString &text);

} // namespace virurad
