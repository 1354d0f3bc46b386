#pragma once

#include <QObject>

class QWidget;

// Keeps the mouse wheel from changing the spin boxes and combo boxes of a form
// while the user scrolls it: a control takes the wheel only when it has the
// keyboard focus; otherwise the wheel goes on to the scroll area around it.
// One filter per form, owned by the form; GUI thread only.
class WheelFocusFilter : public QObject
{
    Q_OBJECT

public:
    // Filters every spin box and combo box inside the form and gives them a
    // focus policy that the wheel does not change. Call once the form's
    // controls exist.
    static void install(QWidget *form);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WheelFocusFilter(QObject *parent);
};
