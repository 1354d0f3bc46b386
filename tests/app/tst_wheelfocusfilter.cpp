#include "modules/calculator/calculatorform.h"
#include "modules/native/nativeform.h"

#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

#include <memory>

namespace {

// A spin box's value or a combo box's index.
int valueOf(QWidget *control)
{
    if (auto *spin = qobject_cast<QSpinBox *>(control))
        return spin->value();
    return qobject_cast<QComboBox *>(control)->currentIndex();
}

// One notch up, delivered as the mouse would deliver it (spontaneous, straight
// to the application), so that an ignored event goes on to the parents.
void wheelUp(QWidget *control)
{
    const QPoint centre = control->rect().center();
    QWheelEvent event(centre, control->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(control, &event);
}

} // namespace

// Over the forms' spin boxes and combo boxes the wheel scrolls the form unless
// the control has the focus.
class TestWheelFocusFilter : public QObject
{
    Q_OBJECT

private slots:
    void wheelScrollsUnlessFocused_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("control");
        QTest::newRow("native spin box") << "native" << "nativeModule";
        QTest::newRow("calculator combo box") << "calculator" << "calcdelta_plosh";
    }

    void wheelScrollsUnlessFocused()
    {
        QFETCH(QString, form);
        QFETCH(QString, control);
        std::unique_ptr<QWidget> window(form == QLatin1String("native") ? static_cast<QWidget *>(new NativeForm)
                                                                         : new CalculatorForm);
        window->resize(430, 250);
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto *target = window->findChild<QWidget *>(control);
        QVERIFY(target);
        if (auto *spin = qobject_cast<QSpinBox *>(target))
            spin->setValue(spin->minimum() + 1);
        QScrollBar *scroll = window->findChild<QScrollArea *>()->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0);
        scroll->setValue(scroll->maximum());
        const int before = valueOf(target);

        // Unfocused: the form scrolls and the value stays.
        wheelUp(target);
        QCOMPARE(valueOf(target), before);
        QVERIFY(scroll->value() < scroll->maximum());
        QVERIFY(!target->hasFocus());

        // Focused: the control takes the wheel.
        target->setFocus();
        QVERIFY(target->hasFocus());
        const int scrolled = scroll->value();
        wheelUp(target);
        QVERIFY(valueOf(target) != before);
        QCOMPARE(scroll->value(), scrolled);
    }
};

QTEST_MAIN(TestWheelFocusFilter)
#include "tst_wheelfocusfilter.moc"
