// Prints where the size scroll bar's arrows, track and thumb are drawn in the game's window, as
// Qt's style lays them out, for every value: the play-through's driver clicks them there.
//
//   scroll_bar_places      (run with the game's platform, style and scale factor)
//
// One line for each part at each value: VALUE PART LEFT TOP WIDTH HEIGHT, in the window's layout
// pixels, PART one of left-arrow, right-arrow, track-left, track-right, thumb.
#include "form1.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include <cstdio>
#include <utility>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const virurad::Form1 window;
    const auto *bar = window.findChild<QScrollBar *>(QStringLiteral("SizeScroll"));
    if (!bar)
        return 1;
    const std::pair<QStyle::SubControl, const char *> parts[] = {
        {QStyle::SC_ScrollBarSubLine, "left-arrow"},
        {QStyle::SC_ScrollBarAddLine, "right-arrow"},
        {QStyle::SC_ScrollBarSubPage, "track-left"},
        {QStyle::SC_ScrollBarAddPage, "track-right"},
        {QStyle::SC_ScrollBarSlider, "thumb"}};
    for (int value = bar->minimum(); value <= bar->maximum(); ++value) {
        // What QScrollBar tells its style when it paints itself at this value.
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.subControls = QStyle::SC_All;
        option.orientation = bar->orientation();
        option.state |= QStyle::State_Horizontal;
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = option.sliderValue = value;
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        option.upsideDown = bar->invertedAppearance();
        for (auto [part, name] : parts) {
            const QRect r = bar->style()
                                ->subControlRect(QStyle::CC_ScrollBar, &option, part, bar)
                                .translated(bar->pos());
            std::printf("%d %s %d %d %d %d\n", value, name, r.x(), r.y(), r.width(), r.height());
        }
    }
    return 0;
}
