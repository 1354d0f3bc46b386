#pragma once

#include "data/nativelisting.h"
#include "modules/native/pointnumberspinbox.h"

#include <QString>
#include <QVector>
#include <QWidget>

struct NativeFile;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTextEdit;

// The control panel of the native data module: the passport of the loaded
// file, the selections of the native graph, the dynamic spectrum, the Fourier
// graph and graph 2, and the zoom, centring and save buttons. Holds no data
// beyond the file list, the site code, the ray limits and the pairing mode;
// talks to its module only through signals. Every file information it shows
// is replaced by the next setFileInfo. GUI thread only.
class NativeForm : public QWidget
{
    Q_OBJECT

public:
    // Which of the native graph and the dynamic spectrum are on; when both
    // are, they are paired (same beam, dispersion and search point).
    enum PairingMode { NothingOn, NativeOnly, DynamicOnly, Paired };
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

    PairingMode pairingMode() const { return m_mode; }
    bool isPaired() const { return m_mode == Paired; }
    bool nativeOn() const;
    bool dynamicOn() const;
    bool fourierOn() const;
    bool graph2On() const;
    DynamicType dynamicType() const;
    QString plosh() const { return m_plosh; }
    QString currentPath() const;
    int currentFileIndex() const;

    QComboBox *comboBoxFiles() const { return m_comboBoxFiles; }
    QPushButton *filePre() const { return m_filePre; }
    QPushButton *fileNext() const { return m_fileNext; }
    QGroupBox *nativeGroup() const { return m_nativeGroup; }
    QGroupBox *dynamicGroup() const { return m_dynamicGroup; }
    QGroupBox *fourierGroup() const { return m_fourierGroup; }
    QGroupBox *graph2Group() const { return m_graph2Group; }
    QSpinBox *nativeModule() const { return m_nativeModule; }
    QSpinBox *nativeRay() const { return m_nativeRay; }
    QSpinBox *nativeChannel() const { return m_nativeChannel; }
    QSpinBox *nativeDispersion() const { return m_nativeDispersion; }
    QLineEdit *nativeDelta() const { return m_nativeDelta; }
    QSpinBox *nativeFirstPoint() const { return m_nativeFirstPoint; }
    QLineEdit *nativePoints() const { return m_nativePoints; }
    QLineEdit *nativeSearchPoint() const { return m_nativeSearchPoint; }
    QLineEdit *nativeSearchAlpha() const { return m_nativeSearchAlpha; }
    QCheckBox *nativeRightPanel() const { return m_nativeRightPanel; }
    QPushButton *nativeSaveDataPnt() const { return m_nativeSaveDataPnt; }
    QPushButton *nativeSaveDataTxt() const { return m_nativeSaveDataTxt; }
    QSpinBox *dynamicModule() const { return m_dynamicModule; }
    QSpinBox *dynamicRay() const { return m_dynamicRay; }
    QSpinBox *dynamicDispersion() const { return m_dynamicDispersion; }
    QLineEdit *dynamicDelta() const { return m_dynamicDelta; }
    QCheckBox *dynamicShowDispersion() const { return m_dynamicShowDispersion; }
    QSpinBox *dynamicShiftDispersion() const { return m_dynamicShiftDispersion; }
    QSpinBox *dynamicPixWidth() const { return m_dynamicPixWidth; }
    QSpinBox *dynamicPixHeight() const { return m_dynamicPixHeight; }
    QRadioButton *dynamicTypeFitToWidth() const { return m_dynamicTypeFitToWidth; }
    QRadioButton *dynamicTypeScrollable() const { return m_dynamicTypeScrollable; }
    QRadioButton *dynamicTypeAnimation() const { return m_dynamicTypeAnimation; }
    QSpinBox *dynamicFirstPoint() const { return m_dynamicFirstPoint; }
    QLineEdit *dynamicPoints() const { return m_dynamicPoints; }
    QLineEdit *dynamicSearchPoint() const { return m_dynamicSearchPoint; }
    QLineEdit *dynamicSearchAlpha() const { return m_dynamicSearchAlpha; }
    QCheckBox *dynamicRightPanel() const { return m_dynamicRightPanel; }
    QCheckBox *dynamicForPrint() const { return m_dynamicForPrint; }
    QSpinBox *dynamicSumHeight() const { return m_dynamicSumHeight; }
    QSpinBox *dynamicLineThickness() const { return m_dynamicLineThickness; }
    QSpinBox *dynamicScaleThickness() const { return m_dynamicScaleThickness; }
    QSpinBox *dynamicFontSize() const { return m_dynamicFontSize; }
    QPushButton *dynamicZoomToNative() const { return m_dynamicZoomToNative; }
    QPushButton *dynamicSaveGraphAll() const { return m_dynamicSaveGraphAll; }
    QSpinBox *fourierModule() const { return m_fourierModule; }
    QSpinBox *fourierRay() const { return m_fourierRay; }
    QSpinBox *fourierFirstPoint() const { return m_fourierFirstPoint; }
    QSpinBox *fourierPoints() const { return m_fourierPoints; }
    QCheckBox *fourierRightPanel() const { return m_fourierRightPanel; }
    QSpinBox *nativeModule2() const { return m_nativeModule2; }
    QSpinBox *nativeRay2() const { return m_nativeRay2; }
    QSpinBox *nativeChannel2() const { return m_nativeChannel2; }
    QLineEdit *nativeDelta2() const { return m_nativeDelta2; }
    QCheckBox *nativeRightPanel2() const { return m_nativeRightPanel2; }
    QLineEdit *npointsField() const { return m_npoints; }
    QLineEdit *ploshField() const { return m_ploshField; }
    QLineEdit *codeField() const { return m_code; }
    QTextEdit *filePath() const { return m_filePath; }

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
    QWidget *buildFileGroup();
    QWidget *buildNativeGroup();
    QWidget *buildDynamicGroup();
    QWidget *buildFourierGroup();
    QWidget *buildGraph2Group();
    void connectControls();

    void updateFileButtons();
    void copyNativeToDynamic();
    void copyDynamicToNative();
    void updateDynamicDelta();
    void updateSaveButtons();
    void setMode(PairingMode mode);
    void onNativeGroupToggled(bool on);
    void onDynamicGroupToggled(bool on);
    void onGraph2GroupToggled(bool on);
    void onAnimationToggled(bool on);

    QVector<NativeFileEntry> m_files;
    QString m_plosh;
    int m_firstRay = 1;
    int m_lastRay = 8;
    bool m_allRaysAllowed = true;
    int m_channelCount = 32;
    PairingMode m_mode = NativeOnly;
    bool m_exportAllowed = false;

    QComboBox *m_comboBoxFiles = nullptr;
    QPushButton *m_filePre = nullptr;
    QPushButton *m_fileNext = nullptr;
    QLineEdit *m_zone = nullptr;
    QLineEdit *m_ploshField = nullptr;
    QLineEdit *m_dateKvx = nullptr;
    QLineEdit *m_timeKvx = nullptr;
    QLineEdit *m_dateUtc = nullptr;
    QLineEdit *m_timeUtc = nullptr;
    QLineEdit *m_tresolution = nullptr;
    QLineEdit *m_code = nullptr;
    QLabel *m_codeLabel = nullptr;
    QLineEdit *m_npoints = nullptr;
    QLineEdit *m_fileFirstPoint = nullptr;
    QLineEdit *m_channels = nullptr;
    QLineEdit *m_modules = nullptr;
    QLineEdit *m_rays = nullptr;

    QGroupBox *m_nativeGroup = nullptr;
    QWidget *m_nativeContent = nullptr;
    QSpinBox *m_nativeModule = nullptr;
    QSpinBox *m_nativeRay = nullptr;
    QSpinBox *m_nativeChannel = nullptr;
    QSpinBox *m_nativeDispersion = nullptr;
    QLineEdit *m_nativeDelta = nullptr;
    PointNumberSpinBox *m_nativeFirstPoint = nullptr;
    QLineEdit *m_nativePoints = nullptr;
    QLineEdit *m_nativeSearchPoint = nullptr;
    QLineEdit *m_nativeSearchAlpha = nullptr;
    QCheckBox *m_nativeRightPanel = nullptr;
    QPushButton *m_nativeZoomToDynamic = nullptr;
    QPushButton *m_nativeCenterToSearchPoint = nullptr;
    QPushButton *m_nativeResetToNative = nullptr;
    QPushButton *m_nativeSaveGraph = nullptr;
    QPushButton *m_nativeSaveDataPnt = nullptr;
    QPushButton *m_nativeSaveDataTxt = nullptr;

    QGroupBox *m_dynamicGroup = nullptr;
    QWidget *m_dynamicContent = nullptr;
    QSpinBox *m_dynamicModule = nullptr;
    QSpinBox *m_dynamicRay = nullptr;
    QSpinBox *m_dynamicDispersion = nullptr;
    QLineEdit *m_dynamicDelta = nullptr;
    QCheckBox *m_dynamicShowDispersion = nullptr;
    QSpinBox *m_dynamicShiftDispersion = nullptr;
    QSpinBox *m_dynamicPixWidth = nullptr;
    QSpinBox *m_dynamicPixHeight = nullptr;
    QRadioButton *m_dynamicTypeFitToWidth = nullptr;
    QRadioButton *m_dynamicTypeScrollable = nullptr;
    QRadioButton *m_dynamicTypeAnimation = nullptr;
    PointNumberSpinBox *m_dynamicFirstPoint = nullptr;
    QLineEdit *m_dynamicPoints = nullptr;
    QLineEdit *m_dynamicSearchPoint = nullptr;
    QLineEdit *m_dynamicSearchAlpha = nullptr;
    QCheckBox *m_dynamicRightPanel = nullptr;
    QCheckBox *m_dynamicForPrint = nullptr;
    QSpinBox *m_dynamicSumHeight = nullptr;
    QSpinBox *m_dynamicLineThickness = nullptr;
    QSpinBox *m_dynamicScaleThickness = nullptr;
    QSpinBox *m_dynamicFontSize = nullptr;
    QPushButton *m_dynamicZoomToNative = nullptr;
    QPushButton *m_dynamicCenterToSearchPoint = nullptr;
    QPushButton *m_dynamicSaveGraphArea = nullptr;
    QPushButton *m_dynamicSaveGraphAll = nullptr;

    QGroupBox *m_fourierGroup = nullptr;
    QWidget *m_fourierContent = nullptr;
    QSpinBox *m_fourierModule = nullptr;
    QSpinBox *m_fourierRay = nullptr;
    QSpinBox *m_fourierDispersion = nullptr;
    PointNumberSpinBox *m_fourierFirstPoint = nullptr;
    QSpinBox *m_fourierPoints = nullptr;
    QCheckBox *m_fourierRightPanel = nullptr;

    QGroupBox *m_graph2Group = nullptr;
    QWidget *m_graph2Content = nullptr;
    QSpinBox *m_nativeModule2 = nullptr;
    QSpinBox *m_nativeRay2 = nullptr;
    QSpinBox *m_nativeChannel2 = nullptr;
    QLineEdit *m_nativeDelta2 = nullptr;
    QCheckBox *m_nativeRightPanel2 = nullptr;

    QPushButton *m_saveScreen = nullptr;
    QTextEdit *m_filePath = nullptr;
};
