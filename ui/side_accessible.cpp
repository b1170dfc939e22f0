// Qt gives a widget's extents in its layout pixels, while on X11 a screen reader takes them as
// the screen's pixels and clicks there: at a scale factor of 2 the middle of "Check Me!" fell on
// the board and placed a chip. These interfaces tell what Qt's own tell, from where each control
// is drawn.
#include "side_accessible.h"

#include "screen_pixels.h"
#include "side_widgets.h"

#include <QAccessibleWidget>

namespace virurad {

namespace {

class SideControl : public QAccessibleWidget {
  public:
    using QAccessibleWidget::QAccessibleWidget;

    QRect rect() const override
    {
        const QWidget *control = widget();
        if (!control->isVisible())
            return {};
        const QPoint at = control->mapTo(control->window(), QPoint(0, 0));
        return screenRect(control->window(), {at.x(), at.y(), control->width(), control->height()});
    }
};

class SizeScrollAccessible : public SideControl, public QAccessibleValueInterface {
  public:
    explicit SizeScrollAccessible(SizeScrollBar *bar) : SideControl(bar, QAccessible::ScrollBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return SideControl::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? QString::number(bar()->value()) : SideControl::text(t);
    }

    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant &value) override { bar()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

  private:
    QScrollBar *bar() const { return static_cast<QScrollBar *>(widget()); }
};

class CaptionAccessible : public SideControl {
  public:
    explicit CaptionAccessible(CaptionLabel *label) : SideControl(label, QAccessible::StaticText) {}

    // A caption with no name of its own is read out as what it shows, and Qt announces each new
    // text as a new name.
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QLabel *>(widget())->text();
        return SideControl::text(t);
    }
};

class CheckAccessible : public SideControl {
  public:
    explicit CheckAccessible(CheckButton *button) : SideControl(button, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = SideControl::state();
        state.pressed = button()->isDown();
        state.defaultButton = button()->isDefault();
        return state;
    }
    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + SideControl::actionNames();
    }
    void doAction(const QString &actionName) override
    {
        // As Qt's own button does: the click comes once the answer has gone, so that the
        // message box it opens holds up no screen reader.
        if (actionName == pressAction())
            button()->animateClick();
        else
            SideControl::doAction(actionName);
    }

  private:
    QPushButton *button() const { return static_cast<QPushButton *>(widget()); }
};

} // namespace

QAccessibleInterface *accessibleSideControl(const QString &, QObject *object)
{
    if (auto *bar = qobject_cast<SizeScrollBar *>(object))
        return new SizeScrollAccessible(bar);
    if (auto *label = qobject_cast<CaptionLabel *>(object))
        return new CaptionAccessible(label);
    if (auto *button = qobject_cast<CheckButton *>(object))
        return new CheckAccessible(button);
    return nullptr;
}

} // namespace virurad
