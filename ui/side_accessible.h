// The side controls as screen readers meet them, standing where they are drawn on the screen.
#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace virurad {

// Qt's accessibility factory for the side controls' own classes (side_widgets.h): what Qt tells
// of a scroll bar, a caption and a push button, with extents in the screen's pixels.
QAccessibleInterface *accessibleSideControl(const QString &className, QObject *object);

} // namespace virurad
