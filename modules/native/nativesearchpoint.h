#pragma once

#include <QObject>
#include <QString>

class NativeGraphBuilder;
class NativeModule;

// The search points of the native graph and of the dynamic spectrum, and the
// pairing of the two views: points set by number, alpha or click, the hint
// when one lies outside the shown range, centring on a point, and the ranges
// the views hand each other. Owns the two points (indexes in the file, -1
// when unset); a new record or a failed load clears them. The form's fields
// and the views are the module's. GUI thread.
class NativeSearchPoint : public QObject
{
    Q_OBJECT

public:
    enum View { NativeView = 0, DynamicView = 1 };

    NativeSearchPoint(NativeModule *module, const NativeGraphBuilder &builder);

    int point(View view) const { return view == DynamicView ? m_dynamic : m_native; }
    // Both points unset; with clearFields the form's search fields emptied too.
    void clear(bool clearFields);
    // The native point kept inside the file and written to the form.
    void showNativePoint();

    // Sets the view's point (and, paired, the other's, centring the other
    // view on it) and redraws; with showHint a point outside the shown range
    // is pointed out.
    void setSearchPoint(View view, int point, bool showHint);
    void typedPoint(View view, const QString &text);
    void typedAlpha(View view, const QString &text);
    void centre(View view);
    // The pairing began: the view switched on (the dynamic one when
    // toDynamic) takes the other's point.
    void pairingStarted(bool toDynamic);
    // The dynamic range becomes the native graph's visible range.
    void zoomDynamicToNative();
    // The native range becomes the dynamic view's visible range.
    void zoomNativeToDynamic();

private:
    QString viewDelta(View view) const;
    // The view's search fields show the point (empty when unset).
    void writeFields(View view, int point);

    NativeModule *m_module;
    const NativeGraphBuilder &m_builder;
    int m_native = -1;
    int m_dynamic = -1;
};
