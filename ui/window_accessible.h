// The window as screen readers meet it: its controls and the board's table of cells, each
// standing where it is drawn on the screen, and the sentences said beside them.
#pragma once

#include "accessible_texts.h"
#include "qt_design.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QPointer>
#include <QScrollBar>

namespace virurad {

class BoardView;

// A rectangle of the window's layout pixels as it stands on the screen. On X11 a screen reader
// takes an object's extents as X screen pixels and clicks there, while Qt lays the window out in
// pixels scaled by its scale factor; edges are rounded as the painted board rounds them, so a
// cell's extents are exactly its painted square at every scale. Elsewhere (Wayland, offscreen)
// there are no screen pixels to give and the layout pixels are given as they are.
QRect screenRect(const QWidget *window, const PixelRect &inWindow);

// The cell at a point of the screen, where screenRect places the cells; NoCell off the board.
int cellAtScreenPoint(const QWidget *window, const ChipBoard &board, QPoint onScreen);

// Qt's role for each of the game's.
QAccessible::Role qtRole(Role role);

// Qt's accessibility factory for the window, its board and its side controls, known by their
// object names: what the game says of each, with extents in the screen's pixels.
QAccessibleInterface *accessibleWindowPart(const QString &className, QObject *object);
// The board's part of it: a table of size x size cells, each made only when it is asked for.
QAccessibleInterface *accessibleBoard(BoardView *view);

// A control of the window, the board among them, or with Control::None the window itself, which
// Qt would otherwise present as a filler that screen readers do not announce; Qt names a window
// by its title.
class WindowPart : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    WindowPart(QWidget *widget, Control control)
        : QAccessibleWidget(widget, control == Control::None ? QAccessible::Window
                                                             : qtRole(roleOf(control))),
          m_control(control)
    {
    }

    QRect rect() const override;
    QString text(QAccessible::Text t) const override
    {
        if (m_control == Control::None)
            return QAccessibleWidget::text(t);
        const AccessibleText said = accessibleText(game().board(), m_control);
        return t == QAccessible::Name          ? qText(said.name)
               : t == QAccessible::Description ? qText(said.description)
               : t == QAccessible::Value       ? qText(said.value)
                                               : QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface && bar())
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The scroll bar's value, which a screen reader may set.
    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant &value) override { bar()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

    // Check Me! pressed as Qt's own button is: the click comes once the answer has gone, so that
    // the message box it opens holds up no screen reader.
    QStringList actionNames() const override
    {
        return (button() ? QStringList(pressAction()) : QStringList()) +
               QAccessibleWidget::actionNames();
    }
    void doAction(const QString &actionName) override
    {
        if (button() && actionName == pressAction())
            button()->animateClick();
        else
            QAccessibleWidget::doAction(actionName);
    }

  protected:
    // The game of the window this part is in.
    const Game &game() const;

  private:
    QScrollBar *bar() const { return qobject_cast<QScrollBar *>(widget()); }
    QAbstractButton *button() const { return qobject_cast<QAbstractButton *>(widget()); }

    const Control m_control;
};

// Something screen readers meet in `owner`'s window with no widget and no children of its own:
// a cell of the board, the notice that says an announcement. Valid while its owner lives.
class WidgetlessPart : public QAccessibleInterface {
  public:
    explicit WidgetlessPart(QWidget *owner) : m_owner(owner) {}

    bool isValid() const override { return !m_owner.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        return m_owner ? m_owner->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface *parent() const override
    {
        return m_owner ? QAccessible::queryAccessibleInterface(m_owner) : nullptr;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    void setText(QAccessible::Text, const QString &) override {}

  protected:
    QPointer<QWidget> m_owner;
};

// Tells assistive technology of `event` on cell k: a new name, if it has asked for that cell
// before, since a cell it was never given has nothing of it to update; or the focus, which
// with NoCell leaves the board's cells.
void announceCell(BoardView *view, int k, QAccessible::Event event);
// Tells assistive technology that every cell changed: a new game started.
void announceNewCells(BoardView *view);

// Has the screen reader say `text` now, on behalf of `window`: a sentence that no control's name
// or value says, what a key played, a new game. Qt 6.8 and later announce it as such; before, a
// notification appears for it, which Orca reads out as "notification" and the text. Does
// nothing while no assistive technology listens.
void announce(QWidget *window, const QString &text);

// Qt's bridge to screen readers comes up a moment after the game starts, and what the window
// told before then went nowhere: a window that took the keyboard first was never heard of, and a
// screen reader already running said nothing of the game until the first key. From this call on,
// each time the bridge comes up, `window` tells again that it is active and where the keyboard is.
void retellOnceHeard(QWidget *window);

} // namespace virurad
