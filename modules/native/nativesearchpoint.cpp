#include "modules/native/nativesearchpoint.h"

#include "modules/native/nativedynamicview.h"
#include "modules/native/nativeform.h"
#include "modules/native/nativegraphbuilder.h"
#include "modules/native/nativemodule.h"
#include "modules/native/nativerules.h"
#include "ui/shelldialogs.h"

#include <QLineEdit>

#include <algorithm>

NativeSearchPoint::NativeSearchPoint(NativeModule *module, const NativeGraphBuilder &builder)
    : QObject(module)
    , m_module(module)
    , m_builder(builder)
{
}

void NativeSearchPoint::clear(bool clearFields)
{
    m_native = -1;
    m_dynamic = -1;
    if (!clearFields)
        return;
    m_module->form()->setSearchFields(false, QString(), QString());
    m_module->form()->setSearchFields(true, QString(), QString());
}

QString NativeSearchPoint::viewDelta(View view) const
{
    return view == DynamicView ? m_module->dynamicView()->currentDeltaText() : m_module->form()->nativeDelta()->text();
}

void NativeSearchPoint::writeFields(View view, int point)
{
    m_module->form()->setSearchFields(view == DynamicView, point >= 0 ? m_builder.pointText(point) : QString(),
                                      point >= 0 ? m_builder.alphaTextAt(point, viewDelta(view), -1) : QString());
}

void NativeSearchPoint::showNativePoint()
{
    if (!m_module->form()->nativeOn() || m_native < 0)
        return;
    m_native = std::clamp(m_native, 0, m_builder.npoints() - 1);
    writeFields(NativeView, m_native);
}

void NativeSearchPoint::setSearchPoint(View view, int point, bool showHint)
{
    NativeForm *form = m_module->form();
    const int npoints = m_builder.npoints();
    if (!form || point < 0 || point > npoints - 1)
        return;
    const bool dynamic = view == DynamicView;
    const PointRange range = dynamic ? m_module->dynamicView()->range() : m_module->nativeRange();
    const bool visible = point >= range.first && point < range.first + range.count;
    const QString alpha = m_builder.alphaTextAt(point, viewDelta(view), -1);
    const QString number = m_builder.pointText(point);
    const bool paired = form->isPaired();

    (dynamic ? m_dynamic : m_native) = point;
    form->setSearchFields(dynamic, number, alpha);
    if (paired) {
        (dynamic ? m_native : m_dynamic) = point;
        form->setSearchFields(!dynamic, number, alpha);
        const PointRange other = dynamic ? m_module->nativeRange() : m_module->dynamicView()->range();
        const int first = centredFirstPoint(point, other.count, npoints);
        if (dynamic)
            form->setNativeRange(first, other.count);
        else if (form->dynamicType() != NativeForm::Animation)
            form->setDynamicRange(first, other.count);
    }
    m_module->drawNativeGraph();
    if (!dynamic && form->dynamicOn() && form->dynamicType() != NativeForm::FitToWidth)
        m_module->dynamicView()->scrollToPointLater(point);

    if (!visible && showHint) {
        QString text = QStringLiteral("Point %1 is outside the visible %2 range %3–%4.\n")
                           .arg(number)
                           .arg(dynamic ? QStringLiteral("Dynamic spectrum") : QStringLiteral("Native graph"))
                           .arg(m_builder.pointText(range.first))
                           .arg(m_builder.pointText(range.first + range.count - 1));
        if (paired)
            text += dynamic ? QStringLiteral("The Native graph has been centered on this point.")
                            : QStringLiteral("The Dynamic spectrum has been centered on this point.");
        else
            text += QStringLiteral("The point has been accepted, but its red line is outside the visible range.");
        m_module->dialogs().warning(m_module, QStringLiteral("Point outside visible range"), text);
    }
}

void NativeSearchPoint::typedPoint(View view, const QString &text)
{
    if (!m_builder.hasData() || m_module->isLoading())
        return;
    const int current = point(view);
    // Leaving the field unchanged, or leaving it empty with no point set, asks for nothing.
    if ((current >= 0 && text == m_builder.pointText(current)) || (current < 0 && text.isEmpty()))
        return;
    int typed = 0;
    if (parseSearchPoint(text, m_builder.pointNumber(0), m_builder.npoints(), &typed)) {
        setSearchPoint(view, typed, true);
        return;
    }
    writeFields(view, current);
    m_module->dialogs().critical(
        m_module, QStringLiteral("Point outside file"),
        QStringLiteral("Point %1 is outside the file range %2–%3.\nNothing has been changed.")
            .arg(text, m_builder.pointText(0), m_builder.pointText(std::max(m_builder.npoints() - 1, 0))));
}

void NativeSearchPoint::typedAlpha(View view, const QString &text)
{
    if (!m_builder.hasData() || m_module->isLoading())
        return;
    const int current = point(view);
    const QString delta = viewDelta(view);
    const QString currentAlpha = current >= 0 ? m_builder.alphaTextAt(current, delta, -1) : QString();
    if ((current >= 0 && text == currentAlpha) || (current < 0 && text.isEmpty()))
        return;
    int found = 0;
    const AlphaSearchStatus status = m_builder.pointForAlpha(text, delta, &found);
    if (status == AlphaFound) {
        setSearchPoint(view, found, true);
        return;
    }
    writeFields(view, current);
    const QString message = status == AlphaTextInvalid
        ? QStringLiteral("Invalid alpha format.\nUse HH:MM:SS or HH:MM:SS.sss.")
        : QStringLiteral("Alpha %1 is outside the file range %2–%3.\nNothing has been changed.")
              .arg(text, m_builder.alphaTextAt(0, delta, -1),
                   m_builder.alphaTextAt(std::max(m_builder.npoints() - 1, 0), delta, -1));
    m_module->dialogs().critical(m_module, QStringLiteral("Invalid alpha"), message);
}

void NativeSearchPoint::centre(View view)
{
    if (!m_builder.hasData())
        return;
    NativeForm *form = m_module->form();
    const int at = point(view);
    if (at < 0)
        return;
    if (view == DynamicView) {
        if (form->dynamicType() == NativeForm::Animation)
            return;
        const PointRange range = m_module->dynamicView()->range();
        form->setDynamicRange(centredFirstPoint(at, range.count, m_builder.npoints()), range.count);
        m_module->dynamicView()->update();
        m_module->dynamicView()->scrollToPointLater(at);
    } else {
        const PointRange range = m_module->nativeRange();
        form->setNativeRange(centredFirstPoint(at, range.count, m_builder.npoints()), range.count);
        m_module->drawNativeGraph();
    }
}

void NativeSearchPoint::pairingStarted(bool toDynamic)
{
    NativeForm *form = m_module->form();
    const int at = toDynamic ? m_native : m_dynamic;
    (toDynamic ? m_dynamic : m_native) = at;
    if (at < 0) {
        form->setSearchFields(toDynamic, QString(), QString());
        return;
    }
    form->setSearchFields(toDynamic, m_builder.pointText(at),
                          m_builder.alphaTextAt(at, form->nativeDelta()->text(), -1));
    if (toDynamic) {
        if (form->dynamicType() != NativeForm::Animation) {
            const PointRange range = m_module->dynamicView()->range();
            form->setDynamicRange(centredFirstPoint(at, range.count, m_builder.npoints()), range.count);
        }
        // The spectrum is rebuilt by the redraw that follows the pairing; then
        // a scrolled view is brought to the point.
        if (form->dynamicType() != NativeForm::FitToWidth)
            m_module->dynamicView()->scrollToPointLater(at);
    } else {
        const PointRange range = m_module->nativeRange();
        form->setNativeRange(centredFirstPoint(at, range.count, m_builder.npoints()), range.count);
    }
}

void NativeSearchPoint::zoomDynamicToNative()
{
    const NativeForm *form = m_module->form();
    if (!m_builder.hasData() || m_module->isLoading() || !form->nativeOn() || !form->dynamicOn()
        || form->dynamicType() == NativeForm::Animation)
        return;
    const PointRange range = m_module->nativeVisibleRange();
    if (range.count > maxDynamicSpectrumPoints) {
        m_module->dialogs().warning(
            m_module, QStringLiteral("Warning"),
            QStringLiteral("Too many points for the dynamic spectrum.\nAt this scale, the dispersion lines "
                           "would not be visible.\n\nZoom in on the Native graph, then transfer the visible "
                           "range again."));
        return;
    }
    if (range.count <= 0)
        return;
    m_module->form()->setDynamicRange(range.first, range.count);
    m_module->dynamicView()->update();
}

void NativeSearchPoint::zoomNativeToDynamic()
{
    if (!m_builder.hasData() || m_module->isLoading() || !m_module->form()->dynamicOn())
        return;
    const PointRange shown = m_module->dynamicView()->visibleRange();
    if (shown.count <= 0)
        return;
    m_module->form()->setNativeRange(shown.first, shown.count);
    m_module->drawNativeGraph();
}
