// Places, colours and fonts of the side controls.
#include "side_controls.h"

#include "accessible_texts.h"
#include "qt_design.h"
#include "side_widgets.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QWheelEvent>

namespace virurad {

namespace {

// The step each key takes, as the scroll bar of the game's other windows takes it; Qt's own
// slider grows on Up and PageUp.
QAbstractSlider::SliderAction sizeKeyAction(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_Home:
        return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End:
        return QAbstractSlider::SliderToMaximum;
    default:
        return QAbstractSlider::SliderNoAction;
    }
}

QLabel *makeLabel(QWidget *parent, const char *name, PixelRect place, const FontDesign &font)
{
    auto *label = new CaptionLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(toQRect(place));
    label->setAlignment(Qt::AlignCenter);
    label->setFont(toQFont(font));
    label->setAutoFillBackground(true);
    return label;
}

} // namespace

// A stray wheel turn while the pointer rests on the bar would start a new game and wipe the
// board, so the size changes only by the arrows, the track, the keys or the thumb.
void SizeScrollBar::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}

void SizeScrollBar::keyPressEvent(QKeyEvent *event)
{
    const SliderAction action = sizeKeyAction(event->key());
    if (action == SliderNoAction)
        QScrollBar::keyPressEvent(event);
    else
        triggerAction(action);
}

// Enter on the focused button presses it, as desktop players expect; the button is still
// nobody's default, so Enter elsewhere in the window presses nothing.
void CheckButton::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter) {
        QPushButton::keyPressEvent(event);
    } else if (!event->isAutoRepeat()) {
        // A held key would otherwise open the box again each time it closes.
        click();
    }
}

QScrollBar *makeSizeScroll(QWidget *parent)
{
    auto *scroll = new SizeScrollBar(Qt::Horizontal, parent);
    scroll->setObjectName(QStringLiteral("SizeScroll"));
    scroll->setGeometry(toQRect(SizeScrollRect));
    scroll->setRange(MinSize, MaxSide);
    scroll->setValue(MaxSide);
    scroll->setSingleStep(1);
    scroll->setPageStep(1);
    // Dragging the thumb starts a new game only once, when it is let go.
    scroll->setTracking(false);
    scroll->setFocusPolicy(Qt::StrongFocus);
    scroll->setAccessibleName(qText(SizeScrollName));
    return scroll;
}

QLabel *makeSizeLabel(QWidget *parent)
{
    QLabel *label = makeLabel(parent, "SizeOf", SizeLabelRect, SizeLabelFont);
    // No accessible name: Qt then reads out the caption itself and announces each new one.
    label->setAccessibleDescription(qText(SizeLabelDescription));
    // A fixed white background needs a fixed dark text, or a dark theme's light text vanishes.
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, toQColor(SizeLabelBackground));
    palette.setColor(QPalette::WindowText, toQColor(FixedInk));
    label->setPalette(palette);
    return label;
}

QLabel *makeCountLabel(QWidget *parent)
{
    QLabel *label = makeLabel(parent, "Number", CountLabelRect, CountLabelFont);
    label->setAccessibleDescription(qText(CountLabelDescription));
    // The theme's control face with the theme's text on it: readable in light and dark.
    label->setBackgroundRole(QPalette::Button);
    label->setForegroundRole(QPalette::ButtonText);
    label->setWordWrap(true);
    return label;
}

QPushButton *makeCheckButton(QWidget *parent)
{
    auto *button = new CheckButton(qText(CheckButtonCaption), parent);
    button->setObjectName(QStringLiteral("Test"));
    button->setGeometry(toQRect(CheckButtonRect));
    button->setFont(toQFont(CheckButtonFont));
    button->setAutoDefault(false);
    button->setAccessibleName(qText(CheckButtonCaption));
    // Fusion paints a button's colour as a gradient; the Windows style paints it flat.
    QStyle *flat = QStyleFactory::create(QStringLiteral("Windows"));
    flat->setParent(button);
    button->setStyle(flat);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, toQColor(CheckButtonFace));
    palette.setColor(QPalette::ButtonText, toQColor(FixedInk));
    button->setPalette(palette);
    return button;
}

} // namespace virurad
