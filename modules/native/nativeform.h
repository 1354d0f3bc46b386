#pragma once

#include "data/nativelisting.h"
#include "modules/native/nativerules.h"
#include "ui_nativeform.h"

#include <QString>
#include <QVector>
#include <QWidget>

struct NativeFile;

// The control panel of the native data module, built from nativeform.ui: the
// passport of the loaded file, the selections of the native graph, the
// dynamic spectrum, the Fourier graph and graph 2, and the zoom, centring and
// save buttons. Holds no data beyond the file list, the site code, the ray
// limits and the pairing mode; talks to its module only through signals.
// Every file information it shows is replaced by the next setFileInfo. GUI
// thread only.
class NativeForm : public QWidget
{
    Q_OBJECT

public:
    // Which of the native graph and the dynamic spectrum are on; when both
    // are, they are paired (same beam, dispersion and search point).
    enum DynamicType { FitToWidth, Scrollable, Animation };

    explicit NativeForm(QWidget *parent = nullptr);

    void setFileList(const QVector<NativeFileEntry> &files, const QString &currentPath);
    // Shows the passport and sets the ranges of the loaded file; with
    // keepSelection the module, ray, channel and dispersion stay when in range.
    void setFileInfo(const NativeFile &file, bool keepSelection);
    // Empties every field that showed the previous file (passport, deltas,
    // ranges, search fields) while a new file loads.
    void resetFileFields();

    void setSearchFields(bool dynamic, const QString &point, const QString &alpha);
    void setNativeRange(int first, int count);
    void setDynamicRange(int first, int count);

    NativePairing pairingMode() const { return m_mode; }
    bool isPaired() const { return m_mode == NativePairing::Paired; }
    bool nativeOn() const;
    bool dynamicOn() const;
    bool fourierOn() const;
    bool graph2On() const;
    DynamicType dynamicType() const;
    QString plosh() const { return m_plosh; }
    QString currentPath() const;

    QComboBox *comboBoxFiles() const { return m_ui.comboBoxFiles; }
    QPushButton *filePre() const { return m_ui.filePre; }
    QPushButton *fileNext() const { return m_ui.fileNext; }
    QGroupBox *nativeGroup() const { return m_ui.nativeGroup; }
    QGroupBox *dynamicGroup() const { return m_ui.dynamicGroup; }
    QGroupBox *graph2Group() const { return m_ui.graph2Group; }
    QSpinBox *nativeModule() const { return m_ui.nativeModule; }
    QSpinBox *nativeRay() const { return m_ui.nativeRay; }
    QSpinBox *nativeChannel() const { return m_ui.nativeChannel; }
    QSpinBox *nativeDispersion() const { return m_ui.nativeDispersion; }
    QLineEdit *nativeDelta() const { return m_ui.nativeDelta; }
    QSpinBox *nativeFirstPoint() const { return m_ui.nativeFirstPoint; }
    QLineEdit *nativePoints() const { return m_ui.nativePoints; }
    QLineEdit *nativeSearchPoint() const { return m_ui.nativeSearchPoint; }
    QLineEdit *nativeSearchAlpha() const { return m_ui.nativeSearchAlpha; }
    QCheckBox *nativeRightPanel() const { return m_ui.nativeRightPanel; }
    QPushButton *nativeSaveDataPnt() const { return m_ui.nativeSaveDataPnt; }
    QPushButton *nativeSaveDataTxt() const { return m_ui.nativeSaveDataTxt; }
    QSpinBox *dynamicModule() const { return m_ui.dynamicModule; }
    QSpinBox *dynamicRay() const { return m_ui.dynamicRay; }
    QSpinBox *dynamicDispersion() const { return m_ui.dynamicDispersion; }
    QCheckBox *dynamicShowDispersion() const { return m_ui.dynamicShowDispersion; }
    QSpinBox *dynamicShiftDispersion() const { return m_ui.dynamicShiftDispersion; }
    QSpinBox *dynamicPixWidth() const { return m_ui.dynamicPixWidth; }
    QSpinBox *dynamicPixHeight() const { return m_ui.dynamicPixHeight; }
    QSpinBox *dynamicFirstPoint() const { return m_ui.dynamicFirstPoint; }
    QLineEdit *dynamicPoints() const { return m_ui.dynamicPoints; }
    QLineEdit *dynamicSearchPoint() const { return m_ui.dynamicSearchPoint; }
    QLineEdit *dynamicSearchAlpha() const { return m_ui.dynamicSearchAlpha; }
    QCheckBox *dynamicRightPanel() const { return m_ui.dynamicRightPanel; }
    QCheckBox *dynamicForPrint() const { return m_ui.dynamicForPrint; }
    QSpinBox *dynamicSumHeight() const { return m_ui.dynamicSumHeight; }
    QSpinBox *dynamicLineThickness() const { return m_ui.dynamicLineThickness; }
    QSpinBox *dynamicScaleThickness() const { return m_ui.dynamicScaleThickness; }
    QSpinBox *dynamicFontSize() const { return m_ui.dynamicFontSize; }
    QPushButton *dynamicZoomToNative() const { return m_ui.dynamicZoomToNative; }
    QPushButton *dynamicSaveGraphAll() const { return m_ui.dynamicSaveGraphAll; }
    QSpinBox *fourierModule() const { return m_ui.fourierModule; }
    QSpinBox *fourierRay() const { return m_ui.fourierRay; }
    QSpinBox *fourierFirstPoint() const { return m_ui.fourierFirstPoint; }
    QSpinBox *fourierPoints() const { return m_ui.fourierPoints; }
    QCheckBox *fourierRightPanel() const { return m_ui.fourierRightPanel; }
    QSpinBox *nativeModule2() const { return m_ui.nativeModule2; }
    QSpinBox *nativeRay2() const { return m_ui.nativeRay2; }
    QSpinBox *nativeChannel2() const { return m_ui.nativeChannel2; }
    QLineEdit *nativeDelta2() const { return m_ui.nativeDelta2; }
    QCheckBox *nativeRightPanel2() const { return m_ui.nativeRightPanel2; }
    QLineEdit *npointsField() const { return m_ui.npoints; }
    QLineEdit *codeField() const { return m_ui.code; }
    QTextEdit *filePath() const { return m_ui.filePath; }

signals:
    void fileChanged(QString path);
    void graphParametersChanged();
    void nativeRightPanelChanged(bool on);
    void nativeRightPanel2Changed(bool on);
    void fourierRightPanelChanged(bool on);
    void dynamicPixelSizeChanged(int width, int height);
    void dynamicAnimationChanged(bool on);
    void dynamicRightPanelChanged(bool on);
    void nativeRangeEdited();
    void dynamicRangeEdited();
    void nativeSearchPointEdited(QString text);
    void dynamicSearchPointEdited(QString text);
    void nativeSearchAlphaEdited(QString text);
    void dynamicSearchAlphaEdited(QString text);
    void nativeDynamicPairingStarted(bool dynamicSwitchedOn);
    // The dynamic spectrum was switched on while the native graph shows all
    // beams; the form has switched it off again.
    void dynamicNeedsSingleBeam();
    void nativeZoomToDynamicRequested();
    void nativeCenterToSearchPointRequested();
    void nativeResetToNativeRequested();
    void dynamicZoomToNativeRequested();
    void dynamicCenterToSearchPointRequested();
    void nativeSaveGraphRequested();
    void nativeSaveDataPntRequested();
    void nativeSaveDataTxtRequested();
    void dynamicSaveGraphAreaRequested();
    void dynamicSaveGraphAllRequested();
    void saveScreenRequested();

public slots:
    void onFileNextClicked();
    void onFilePreClicked();
    void onFileComboActivated(int index);
    void updateDeltaFromSelection();
    void updateDelta2FromSelection();

private:
    void connectControls();

    void updateFileButtons();
    void copyNativeToDynamic();
    void copyDynamicToNative();
    void updateDynamicDelta();
    void updateSaveButtons();
    void setMode(NativePairing mode);
    void onNativeGroupToggled(bool on);
    void onDynamicGroupToggled(bool on);
    void onGraph2GroupToggled(bool on);
    void onAnimationToggled(bool on);

    Ui::NativeForm m_ui;
    QVector<NativeFileEntry> m_files;
    QString m_plosh;
    int m_firstRay = 1;
    int m_lastRay = 8;
    bool m_allRaysAllowed = true;
    int m_channelCount = 32;
    NativePairing m_mode = NativePairing::NativeOnly;
    bool m_exportAllowed = false;
};
