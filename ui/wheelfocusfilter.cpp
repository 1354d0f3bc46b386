#include "ui/wheelfocusfilter.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QWidget>

WheelFocusFilter::WheelFocusFilter(QObject *parent)
    : QObject(parent)
{
}

void WheelFocusFilter::install(QWidget *form)
{
    auto *filter = new WheelFocusFilter(form);
    QList<QWidget *> controls;
    for (QAbstractSpinBox *box : form->findChildren<QAbstractSpinBox *>())
        controls.append(box);
    for (QComboBox *box : form->findChildren<QComboBox *>())
        controls.append(box);
    for (QWidget *control : qAsConst(controls)) {
        control->setFocusPolicy(Qt::StrongFocus);
        control->installEventFilter(filter);
    }
}

bool WheelFocusFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && !static_cast<QWidget *>(watched)->hasFocus()) {
        // Ignored and filtered: the application hands the event to the parents.
        event->ignore();
        return true;
    }
    return false;
}
