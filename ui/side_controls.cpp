// Places, colours and fonts of the side controls.
#include "side_controls.h"

#include "chip_board.h"
#include "window_layout.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QWheelEvent>

namespace {

// The faces the window was designed with where they are installed, and otherwise their
// metric-compatible stand-ins, so the captions keep the width they were laid out for.
QFont designedFont(const QString &face, const QString &standIn, double points, bool bold)
{
    QFont font;
    font.setFamilies({face, standIn});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont sansFont(bool bold)
{
    return designedFont(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), 13.5,
                        bold);
}

QFont serifFont()
{
    return designedFont(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), 12,
                        true);
}

// A stray wheel turn while the pointer rests on the bar would start a new game and wipe the
// board, so the size changes only by the arrows, the track, the keyboard or the dragged thumb.
class SizeScrollBar : public QScrollBar {
  public:
    using QScrollBar::QScrollBar;

  protected:
    void wheelEvent(QWheelEvent *event) override { event->ignore(); }
};

// Enter on the focused button presses it, as desktop players expect; the button is still
// nobody's default, so Enter elsewhere in the window presses nothing.
class CheckButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (!enter) {
            QPushButton::keyPressEvent(event);
        } else if (!event->isAutoRepeat()) {
            // A held key would otherwise open the box again each time it closes.
            click();
        }
    }
};

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
    auto *scroll = new SizeScrollBar(Qt::Horizontal, parent);
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
    auto *button = new CheckButton(QStringLiteral("Check Me!"), parent);
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
