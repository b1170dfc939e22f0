// Places, colours and fonts of the side controls.
#include "side_controls.h"

#include "chip_board.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>

namespace {

constexpr int ColumnLeft = 600;
constexpr int ColumnWidth = 89;

// Metric-compatible stand-ins for the Windows faces the window was designed with.
QFont sansFont(bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(13.5);
    font.setBold(bold);
    return font;
}

QFont serifFont()
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSizeF(12);
    font.setBold(true);
    return font;
}

QLabel *makeLabel(QWidget *parent, const char *name, int top, int height, const QFont &font)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(ColumnLeft, top, ColumnWidth, height);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(font);
    label->setAutoFillBackground(true);
    return label;
}

} // namespace

QScrollBar *makeSizeScroll(QWidget *parent)
{
    auto *scroll = new QScrollBar(Qt::Horizontal, parent);
    scroll->setObjectName(QStringLiteral("SizeScroll"));
    scroll->setGeometry(ColumnLeft, 120, ColumnWidth, 17);
    scroll->setRange(MinSize, MaxSide);
    scroll->setValue(MaxSide);
    scroll->setSingleStep(1);
    scroll->setPageStep(1);
    // Dragging the thumb starts a new game only once, when it is let go.
    scroll->setTracking(false);
    // QScrollBar inverts its keys by default, so Right would shrink the board while the right
    // arrow button grows it; the keys follow the arrow buttons here.
    scroll->setInvertedControls(false);
    scroll->setFocusPolicy(Qt::StrongFocus);
    scroll->setAccessibleName(QStringLiteral("Board size"));
    return scroll;
}

QLabel *makeSizeLabel(QWidget *parent)
{
    QLabel *label = makeLabel(parent, "SizeOf", 144, 25, sansFont(true));
    // No accessible name: Qt then reads out the caption itself and announces each new one.
    label->setAccessibleDescription(QStringLiteral("Board size"));
    // A fixed white background needs a fixed dark text, or a dark theme's light text vanishes.
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

QLabel *makeCountLabel(QWidget *parent)
{
    QLabel *label = makeLabel(parent, "Number", 272, 49, sansFont(false));
    label->setAccessibleDescription(QStringLiteral("Chips placed"));
    // The theme's control face with the theme's text on it: readable in light and dark.
    label->setBackgroundRole(QPalette::Button);
    label->setForegroundRole(QPalette::ButtonText);
    label->setWordWrap(true);
    return label;
}

QPushButton *makeCheckButton(QWidget *parent)
{
    auto *button = new QPushButton(QStringLiteral("Check Me!"), parent);
    button->setObjectName(QStringLiteral("Test"));
    button->setGeometry(ColumnLeft, 448, ColumnWidth, 33);
    button->setFont(serifFont());
    button->setAutoDefault(false);
    button->setAccessibleName(QStringLiteral("Check Me!"));
    // Fusion paints a button's colour as a gradient; the Windows style paints it flat.
    QStyle *flat = QStyleFactory::create(QStringLiteral("Windows"));
    flat->setParent(button);
    button->setStyle(flat);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, QColor(255, 128, 128));
    palette.setColor(QPalette::ButtonText, Qt::black);
    button->setPalette(palette);
    return button;
}
