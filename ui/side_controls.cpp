// Places, colours and fonts of the side controls.
#include "side_controls.h"

#include "game.h"
#include "qt_design.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>

namespace virurad {

namespace {

QLabel *makeLabel(QWidget *parent, Control control, PixelRect place, const FontDesign &font)
{
    auto *label = new QLabel(parent);
    // First: screen readers are told of the control by its name.
    label->setObjectName(qText(controlName(control)));
    label->setGeometry(toQRect(place));
    label->setAlignment(Qt::AlignCenter);
    label->setFont(toQFont(font));
    label->setAutoFillBackground(true);
    return label;
}

} // namespace

QScrollBar *makeSizeScroll(QWidget *parent)
{
    auto *scroll = new QScrollBar(Qt::Horizontal, parent);
    scroll->setObjectName(qText(controlName(Control::SizeScroll)));
    scroll->setGeometry(toQRect(SizeScrollRect));
    scroll->setRange(MinSize, MaxSide);
    scroll->setValue(MaxSide);
    scroll->setPageStep(1);
    // Dragging the thumb starts a new game only once, when it is let go.
    scroll->setTracking(false);
    scroll->setFocusPolicy(Qt::StrongFocus);
    return scroll;
}

QLabel *makeSizeLabel(QWidget *parent)
{
    QLabel *label = makeLabel(parent, Control::SizeOf, SizeLabelRect, SizeLabelFont);
    // A fixed white background needs a fixed dark text, or a dark theme's light text vanishes.
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, toQColor(SizeLabelBackground));
    palette.setColor(QPalette::WindowText, toQColor(FixedInk));
    label->setPalette(palette);
    return label;
}

QLabel *makeCountLabel(QWidget *parent)
{
    QLabel *label = makeLabel(parent, Control::Number, CountLabelRect, CountLabelFont);
    // The theme's control face with the theme's text on it: readable in light and dark.
    label->setBackgroundRole(QPalette::Button);
    label->setForegroundRole(QPalette::ButtonText);
    label->setWordWrap(true);
    return label;
}

QPushButton *makeCheckButton(QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(qText(controlName(Control::Test)));
    button->setText(qText(CheckButtonCaption));
    button->setGeometry(toQRect(CheckButtonRect));
    button->setFont(toQFont(CheckButtonFont));
    button->setAutoDefault(false);
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
