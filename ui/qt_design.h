// The game's own colours, rectangles, texts and fonts as Qt takes them.
#pragma once

#include "window_design.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <string_view>

namespace virurad {

inline QString qText(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

inline QColor toQColor(Rgb c)
{
    return QColor(c.red, c.green, c.blue);
}

inline QRect toQRect(PixelRect r)
{
    return QRect(r.left, r.top, r.width, r.height);
}

// The face the window was designed with where it is installed, and otherwise its
// metric-compatible stand-in, so the captions keep the width they were laid out for.
inline QFont toQFont(const FontDesign &design)
{
    QFont font;
    font.setFamilies({qText(design.face), qText(design.standIn)});
    font.setPointSizeF(design.points);
    font.setWeight(QFont::Weight(design.weight));
    return font;
}

} // namespace virurad
