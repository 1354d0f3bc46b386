#include "modules/native/nativeform.h"

#include "astro/beamtables.h"
#include "data/nativefile.h"
#include "modules/native/nativerules.h"
#include "ui/wheelfocusfilter.h"

#include <QSignalBlocker>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Sets the range and keeps the value when inside it, else takes the fallback.
void setRangeKeeping(QSpinBox *box, int minimum, int maximum, int fallback, bool keep)
{
    const int old = box->value();
    box->setRange(minimum, maximum);
    box->setValue(keep && old >= minimum && old <= maximum ? old : fallback);
}

// The declination of a beam, or of the module's centre for beam 0; empty
// without a site.
QString deltaText(int module, int ray, const QString &plosh)
{
    if (plosh.isEmpty())
        return QString();
    return ray != 0 ? beamDeclinationText(module, ray, plosh) : centralDeclinationText(module, plosh);
}

// Blocks the signals of several controls for its lifetime.
class SignalsBlocked
{
public:
    SignalsBlocked(std::initializer_list<QObject *> objects)
    {
        m_blockers.reserve(objects.size());
        for (QObject *object : objects)
            m_blockers.emplace_back(object);
    }

private:
    std::vector<QSignalBlocker> m_blockers;
};

// The controls the native and dynamic groups share while they are paired.
struct PairedFields
{
    QSpinBox *module;
    QSpinBox *ray;
    QSpinBox *dispersion;
    QLineEdit *searchPoint;
    QLineEdit *searchAlpha;
};

PairedFields nativeFields(const Ui::NativeForm &ui)
{
    return {ui.nativeModule, ui.nativeRay, ui.nativeDispersion, ui.nativeSearchPoint, ui.nativeSearchAlpha};
}

PairedFields dynamicFields(const Ui::NativeForm &ui)
{
    return {ui.dynamicModule, ui.dynamicRay, ui.dynamicDispersion, ui.dynamicSearchPoint, ui.dynamicSearchAlpha};
}

// Copies one group's shared controls into the other's without their signals.
void copyPairedFields(const PairedFields &from, const PairedFields &to)
{
    const SignalsBlocked blocked{to.module, to.ray, to.dispersion, to.searchPoint, to.searchAlpha};
    to.module->setValue(from.module->value());
    to.ray->setValue(from.ray->value());
    to.dispersion->setValue(from.dispersion->value());
    to.searchPoint->setText(from.searchPoint->text());
    to.searchAlpha->setText(from.searchAlpha->text());
}

} // namespace

NativeForm::NativeForm(QWidget *parent)
    : QWidget(parent)
{
    m_ui.setupUi(this);
    // Dates ("2026.07.25") and sample intervals must show whole, with the
    // program's 5 px line-edit padding on each side.
    const int valueWidth = m_ui.dateKvx->fontMetrics().horizontalAdvance(QStringLiteral("0000.00.00")) + 20;
    m_ui.fileGrid->setColumnMinimumWidth(1, valueWidth);
    m_ui.fileGrid->setColumnMinimumWidth(3, valueWidth);
    // The position code exists only at N4; a group's controls show while it is on.
    m_ui.code->setVisible(false);
    m_ui.codeLabel->setVisible(false);
    for (QWidget *content : {m_ui.dynamicContent, m_ui.fourierContent, m_ui.graph2Content})
        content->setVisible(false);

    connectControls();
    WheelFocusFilter::install(this);
    setMode(NativePairing::NativeOnly);
    updateSaveButtons();
    updateFileButtons();
}

void NativeForm::connectControls()
{
    const Ui::NativeForm &ui = m_ui;
    const auto changed = QOverload<int>::of(&QSpinBox::valueChanged);

    connect(ui.comboBoxFiles, QOverload<int>::of(&QComboBox::activated), this, &NativeForm::onFileComboActivated);
    connect(ui.fileNext, &QPushButton::clicked, this, &NativeForm::onFileNextClicked);
    connect(ui.filePre, &QPushButton::clicked, this, &NativeForm::onFilePreClicked);

    connect(ui.nativeModule, changed, this, [this] {
        if (isPaired())
            copyNativeToDynamic();
        updateDeltaFromSelection();
        emit graphParametersChanged();
    });
    connect(ui.nativeRay, changed, this, [this](int ray) {
        if (ray == 0 && isPaired())
            m_ui.dynamicGroup->setChecked(false);
        if (isPaired())
            copyNativeToDynamic();
        updateDeltaFromSelection();
        updateSaveButtons();
        emit graphParametersChanged();
    });
    connect(ui.nativeDispersion, changed, this, [this] {
        if (isPaired())
            copyNativeToDynamic();
        emit graphParametersChanged();
    });
    for (QSpinBox *box : {ui.dynamicModule, ui.dynamicRay, ui.dynamicDispersion}) {
        connect(box, changed, this, [this] {
            if (isPaired())
                copyDynamicToNative();
            updateDynamicDelta();
            emit graphParametersChanged();
        });
    }
    for (QSpinBox *box : {ui.nativeModule2, ui.nativeRay2}) {
        connect(box, changed, this, [this] {
            updateDelta2FromSelection();
            emit graphParametersChanged();
        });
    }
    for (QSpinBox *box : {ui.nativeChannel, ui.dynamicSumHeight, ui.dynamicLineThickness, ui.dynamicScaleThickness,
                          ui.dynamicFontSize, ui.dynamicShiftDispersion, ui.fourierModule, ui.fourierRay,
                          ui.fourierDispersion, static_cast<QSpinBox *>(ui.fourierFirstPoint), ui.fourierPoints,
                          ui.nativeChannel2})
        connect(box, changed, this, &NativeForm::graphParametersChanged);
    for (QCheckBox *box : {ui.dynamicShowDispersion, ui.dynamicForPrint})
        connect(box, &QCheckBox::toggled, this, &NativeForm::graphParametersChanged);
    for (QRadioButton *type : {ui.dynamicTypeFitToWidth, ui.dynamicTypeScrollable}) {
        connect(type, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                emit graphParametersChanged();
        });
    }
    connect(ui.dynamicTypeAnimation, &QRadioButton::toggled, this, &NativeForm::onAnimationToggled);
    const auto pixelSize = [this] {
        emit dynamicPixelSizeChanged(m_ui.dynamicPixWidth->value(), m_ui.dynamicPixHeight->value());
    };
    connect(ui.dynamicPixWidth, changed, this, pixelSize);
    connect(ui.dynamicPixHeight, changed, this, pixelSize);

    connect(ui.nativeFirstPoint, changed, this, &NativeForm::nativeRangeEdited);
    connect(ui.nativePoints, &QLineEdit::editingFinished, this, &NativeForm::nativeRangeEdited);
    connect(ui.dynamicFirstPoint, changed, this, &NativeForm::dynamicRangeEdited);
    connect(ui.dynamicPoints, &QLineEdit::editingFinished, this, &NativeForm::dynamicRangeEdited);
    const std::pair<QLineEdit *, void (NativeForm::*)(QString)> searchFields[] = {
        {ui.nativeSearchPoint, &NativeForm::nativeSearchPointEdited},
        {ui.dynamicSearchPoint, &NativeForm::dynamicSearchPointEdited},
        {ui.nativeSearchAlpha, &NativeForm::nativeSearchAlphaEdited},
        {ui.dynamicSearchAlpha, &NativeForm::dynamicSearchAlphaEdited}};
    for (const auto &[field, edited] : searchFields)
        connect(field, &QLineEdit::editingFinished, this, [this, field = field, edited = edited] {
            emit(this->*edited)(field->text().trimmed());
        });

    const std::pair<QCheckBox *, void (NativeForm::*)(bool)> rightPanels[] = {
        {ui.nativeRightPanel, &NativeForm::nativeRightPanelChanged},
        {ui.nativeRightPanel2, &NativeForm::nativeRightPanel2Changed},
        {ui.fourierRightPanel, &NativeForm::fourierRightPanelChanged},
        {ui.dynamicRightPanel, &NativeForm::dynamicRightPanelChanged}};
    for (const auto &[box, panelChanged] : rightPanels)
        connect(box, &QCheckBox::toggled, this, panelChanged);

    connect(ui.nativeGroup, &QGroupBox::toggled, this, &NativeForm::onNativeGroupToggled);
    connect(ui.dynamicGroup, &QGroupBox::toggled, this, &NativeForm::onDynamicGroupToggled);
    connect(ui.graph2Group, &QGroupBox::toggled, this, &NativeForm::onGraph2GroupToggled);
    connect(ui.fourierGroup, &QGroupBox::toggled, this, [this](bool on) {
        m_ui.fourierContent->setVisible(on);
        emit graphParametersChanged();
    });

    const std::pair<QPushButton *, void (NativeForm::*)()> requests[] = {
        {ui.nativeZoomToDynamic, &NativeForm::nativeZoomToDynamicRequested},
        {ui.nativeCenterToSearchPoint, &NativeForm::nativeCenterToSearchPointRequested},
        {ui.nativeResetToNative, &NativeForm::nativeResetToNativeRequested},
        {ui.dynamicZoomToNative, &NativeForm::dynamicZoomToNativeRequested},
        {ui.dynamicCenterToSearchPoint, &NativeForm::dynamicCenterToSearchPointRequested},
        {ui.nativeSaveGraph, &NativeForm::nativeSaveGraphRequested},
        {ui.nativeSaveDataPnt, &NativeForm::nativeSaveDataPntRequested},
        {ui.nativeSaveDataTxt, &NativeForm::nativeSaveDataTxtRequested},
        {ui.dynamicSaveGraphArea, &NativeForm::dynamicSaveGraphAreaRequested},
        {ui.dynamicSaveGraphAll, &NativeForm::dynamicSaveGraphAllRequested},
        {ui.saveScreen, &NativeForm::saveScreenRequested}};
    for (const auto &[button, requested] : requests)
        connect(button, &QPushButton::clicked, this, requested);
}

bool NativeForm::nativeOn() const
{
    return m_ui.nativeGroup->isChecked();
}

bool NativeForm::dynamicOn() const
{
    return m_ui.dynamicGroup->isChecked();
}

bool NativeForm::fourierOn() const
{
    return m_ui.fourierGroup->isChecked();
}

bool NativeForm::graph2On() const
{
    return m_ui.graph2Group->isChecked();
}

NativeForm::DynamicType NativeForm::dynamicType() const
{
    if (m_ui.dynamicTypeAnimation->isChecked())
        return Animation;
    if (m_ui.dynamicTypeScrollable->isChecked())
        return Scrollable;
    return FitToWidth;
}

QString NativeForm::currentPath() const
{
    return m_ui.comboBoxFiles->currentData().toString();
}

void NativeForm::setFileList(const QVector<NativeFileEntry> &files, const QString &currentPath)
{
    m_files = files;
    QComboBox *combo = m_ui.comboBoxFiles;
    {
        const QSignalBlocker blocker(combo);
        combo->clear();
        int selected = 0;
        for (int i = 0; i < files.size(); ++i) {
            combo->addItem(files[i].fileName, files[i].absolutePath);
            if (files[i].absolutePath == currentPath)
                selected = i;
        }
        if (!files.isEmpty())
            combo->setCurrentIndex(selected);
    }
    m_ui.filePath->setPlainText(files.isEmpty() ? currentPath : combo->currentData().toString());
    updateFileButtons();
}

void NativeForm::updateFileButtons()
{
    const int index = m_ui.comboBoxFiles->currentIndex();
    m_ui.filePre->setEnabled(index > 0);
    m_ui.fileNext->setEnabled(index >= 0 && index < m_ui.comboBoxFiles->count() - 1);
}

void NativeForm::onFileComboActivated(int index)
{
    const QString path = m_ui.comboBoxFiles->itemData(index).toString();
    if (path.isEmpty())
        return;
    m_ui.filePath->setPlainText(path);
    updateFileButtons();
    emit fileChanged(path);
}

void NativeForm::onFileNextClicked()
{
    const int index = m_ui.comboBoxFiles->currentIndex();
    if (index >= 0 && index < m_ui.comboBoxFiles->count() - 1) {
        m_ui.comboBoxFiles->setCurrentIndex(index + 1);
        onFileComboActivated(index + 1);
    } else {
        updateFileButtons();
    }
}

void NativeForm::onFilePreClicked()
{
    const int index = m_ui.comboBoxFiles->currentIndex();
    if (index >= 1 && index < m_ui.comboBoxFiles->count()) {
        m_ui.comboBoxFiles->setCurrentIndex(index - 1);
        onFileComboActivated(index - 1);
    } else {
        updateFileButtons();
    }
}

void NativeForm::resetFileFields()
{
    const Ui::NativeForm &ui = m_ui;
    // Nothing of the previous file may stay: its passport, site, deltas,
    // ranges and search fields.
    for (QLineEdit *field : {ui.zone, ui.plosh, ui.dateKvx, ui.timeKvx, ui.dateUtc, ui.timeUtc, ui.tresolution,
                             ui.code, ui.npoints, ui.fileFirstPoint, ui.channels, ui.modules, ui.rays,
                             ui.nativeDelta, ui.nativeDelta2, ui.dynamicDelta, ui.nativePoints, ui.dynamicPoints,
                             ui.nativeSearchPoint, ui.nativeSearchAlpha, ui.dynamicSearchPoint,
                             ui.dynamicSearchAlpha})
        field->clear();
    m_plosh.clear();
    const SignalsBlocked blocked{ui.nativeFirstPoint, ui.dynamicFirstPoint, ui.fourierFirstPoint, ui.fourierPoints};
    for (PointNumberSpinBox *box : {ui.nativeFirstPoint, ui.dynamicFirstPoint, ui.fourierFirstPoint}) {
        box->setNumberOffset(0);
        box->setValue(0);
    }
    ui.fourierPoints->setValue(0);
    m_exportAllowed = false;
    updateSaveButtons();
}

void NativeForm::setFileInfo(const NativeFile &file, bool keepSelection)
{
    const Ui::NativeForm &ui = m_ui;
    const int npoints = std::max(file.npoints, 0);
    {
        const SignalsBlocked blocked{ui.nativeModule,   ui.nativeRay,     ui.nativeChannel,     ui.nativeDispersion,
                                     ui.nativeModule2,  ui.nativeRay2,    ui.fourierModule,     ui.fourierRay,
                                     ui.dynamicModule,  ui.dynamicRay,    ui.nativeChannel2,    ui.nativeFirstPoint,
                                     ui.dynamicFirstPoint, ui.fourierPoints, ui.fourierFirstPoint};

        const int firstModule = file.firstModule;
        const int lastModule = firstModule + std::max(file.nModules - 1, 0);
        setRangeKeeping(ui.nativeModule, firstModule, lastModule, firstModule, keepSelection);
        for (QSpinBox *box : {ui.nativeModule2, ui.fourierModule, ui.dynamicModule}) {
            box->setRange(firstModule, lastModule);
            box->setValue(firstModule);
        }

        m_firstRay = file.firstRay;
        if (file.nRays < 2) {
            m_lastRay = m_firstRay;
            m_allRaysAllowed = false;
        } else {
            m_lastRay = m_firstRay + file.nRays - 1;
            m_allRaysAllowed = allBeamsSelectable(file.firstRay, file.nRays);
        }
        const int rayMin = m_allRaysAllowed ? 0 : m_firstRay;
        setRangeKeeping(ui.nativeRay, rayMin, m_lastRay, rayMin == 0 ? 0 : m_firstRay, keepSelection);
        ui.nativeRay2->setRange(rayMin, m_lastRay);
        ui.nativeRay2->setValue(m_allRaysAllowed ? 0 : m_firstRay);
        for (QSpinBox *box : {ui.fourierRay, ui.dynamicRay}) {
            box->setRange(m_firstRay, m_lastRay);
            box->setValue(m_firstRay);
        }

        m_channelCount = std::max(file.nChannels, 1);
        setRangeKeeping(ui.nativeChannel, 0, m_channelCount, 0, keepSelection);
        setRangeKeeping(ui.nativeDispersion, ui.nativeDispersion->minimum(), ui.nativeDispersion->maximum(), 0,
                        keepSelection);
        ui.nativeChannel2->setRange(1, m_channelCount);

        const int lastPoint = std::max(npoints - 1, 0);
        for (PointNumberSpinBox *box : {ui.nativeFirstPoint, ui.dynamicFirstPoint, ui.fourierFirstPoint})
            box->setNumberOffset(file.firstPoint);
        ui.nativeFirstPoint->setRange(0, lastPoint);
        ui.dynamicFirstPoint->setRange(0, lastPoint);
        ui.fourierPoints->setRange(0, npoints);
        ui.fourierPoints->setValue(npoints);
        ui.fourierFirstPoint->setRange(0, lastPoint);
        ui.fourierFirstPoint->setValue(0);
        ui.nativeFirstPoint->setValue(0);
        ui.dynamicFirstPoint->setValue(0);
    }
    ui.nativePoints->setText(QString::number(npoints));
    ui.dynamicPoints->setText(QString::number(std::min(npoints, defaultDynamicPoints)));
    for (QLineEdit *field : {ui.nativeSearchPoint, ui.nativeSearchAlpha, ui.dynamicSearchPoint, ui.dynamicSearchAlpha})
        field->clear();

    ui.npoints->setText(QString::number(file.npoints));
    ui.channels->setText(QString::number(file.nChannels));
    ui.modules->setText(QString::number(file.nModules));
    ui.rays->setText(QString::number(file.nRays));
    m_plosh = file.plosh;
    ui.plosh->setText(file.plosh);
    const bool n4 = file.plosh == QLatin1String("N4");
    ui.code->setText(n4 ? file.positionCodeKey : QString());
    ui.code->setVisible(n4);
    ui.codeLabel->setVisible(n4);
    ui.tresolution->setText(file.tresolutionText.isEmpty() ? QString::number(file.tresolution, 'g', 12)
                                                           : file.tresolutionText);
    ui.dateKvx->setText(file.localBeginDate);
    ui.timeKvx->setText(file.localBeginTime);
    ui.dateUtc->setText(file.utcBeginDate);
    ui.timeUtc->setText(file.utcBeginTime);
    ui.zone->setText(QString::number(file.zone));
    ui.fileFirstPoint->setText(QString::number(file.firstPoint));
    m_exportAllowed = file.loaded && file.npoints > 0;

    updateDeltaFromSelection();
    updateDelta2FromSelection();
    updateDynamicDelta();
    if (isPaired())
        copyNativeToDynamic();
    updateSaveButtons();
}

void NativeForm::setSearchFields(bool dynamic, const QString &point, const QString &alpha)
{
    QLineEdit *pointField = dynamic ? m_ui.dynamicSearchPoint : m_ui.nativeSearchPoint;
    QLineEdit *alphaField = dynamic ? m_ui.dynamicSearchAlpha : m_ui.nativeSearchAlpha;
    const SignalsBlocked blocked{pointField, alphaField};
    pointField->setText(point);
    alphaField->setText(alpha);
}

void NativeForm::setNativeRange(int first, int count)
{
    const QSignalBlocker blocker(m_ui.nativeFirstPoint);
    m_ui.nativeFirstPoint->setValue(first);
    m_ui.nativePoints->setText(QString::number(count));
}

void NativeForm::setDynamicRange(int first, int count)
{
    const QSignalBlocker blocker(m_ui.dynamicFirstPoint);
    m_ui.dynamicFirstPoint->setValue(first);
    m_ui.dynamicPoints->setText(QString::number(count));
}

void NativeForm::updateDeltaFromSelection()
{
    m_ui.nativeDelta->setText(deltaText(m_ui.nativeModule->value(), m_ui.nativeRay->value(), m_plosh));
}

void NativeForm::updateDelta2FromSelection()
{
    m_ui.nativeDelta2->setText(deltaText(m_ui.nativeModule2->value(), m_ui.nativeRay2->value(), m_plosh));
}

void NativeForm::updateDynamicDelta()
{
    m_ui.dynamicDelta->setText(m_plosh.isEmpty() ? QString()
                                                  : beamDeclinationText(m_ui.dynamicModule->value(),
                                                                        m_ui.dynamicRay->value(), m_plosh));
}

void NativeForm::copyNativeToDynamic()
{
    copyPairedFields(nativeFields(m_ui), dynamicFields(m_ui));
    updateDynamicDelta();
}

void NativeForm::copyDynamicToNative()
{
    copyPairedFields(dynamicFields(m_ui), nativeFields(m_ui));
    updateDeltaFromSelection();
    updateSaveButtons();
}

void NativeForm::setMode(NativePairing mode)
{
    m_mode = mode;
    m_ui.nativeZoomToDynamic->setEnabled(mode == NativePairing::Paired);
    m_ui.dynamicZoomToNative->setEnabled(mode == NativePairing::Paired && !m_ui.dynamicTypeAnimation->isChecked());
}

void NativeForm::updateSaveButtons()
{
    const bool pnt = nativeOn() && m_exportAllowed;
    m_ui.nativeSaveDataPnt->setEnabled(pnt);
    m_ui.nativeSaveDataTxt->setEnabled(pnt && m_ui.nativeRay->value() >= 1);
}

void NativeForm::onNativeGroupToggled(bool on)
{
    m_ui.nativeContent->setVisible(on);
    const PairingChange change = nativeGroupSwitched(on, dynamicOn());
    if (change.dynamicToNative)
        copyDynamicToNative();
    setMode(change.mode);
    if (change.dynamicToNative)
        emit nativeDynamicPairingStarted(false);
    updateSaveButtons();
    emit graphParametersChanged();
}

void NativeForm::onDynamicGroupToggled(bool on)
{
    const PairingChange change = dynamicGroupSwitched(on, nativeOn(), m_ui.nativeRay->value());
    if (!change.accepted) {
        {
            const QSignalBlocker blocker(m_ui.dynamicGroup);
            m_ui.dynamicGroup->setChecked(false);
        }
        m_ui.dynamicContent->setVisible(false);
        emit dynamicNeedsSingleBeam();
        return;
    }
    m_ui.dynamicContent->setVisible(on);
    if (on) {
        // The spectrum shows one channel sum: the native graph follows.
        if (nativeOn() && m_ui.nativeChannel->value() > 0) {
            const QSignalBlocker blocker(m_ui.nativeChannel);
            m_ui.nativeChannel->setValue(0);
        }
        if (graph2On())
            m_ui.graph2Group->setChecked(false);
    }
    if (change.nativeToDynamic)
        copyNativeToDynamic();
    setMode(change.mode);
    if (change.nativeToDynamic)
        emit nativeDynamicPairingStarted(true);
    emit graphParametersChanged();
}

void NativeForm::onGraph2GroupToggled(bool on)
{
    m_ui.graph2Content->setVisible(on);
    if (on && dynamicOn())
        m_ui.dynamicGroup->setChecked(false);
    emit graphParametersChanged();
}

void NativeForm::onAnimationToggled(bool on)
{
    m_ui.dynamicFirstPoint->setEnabled(!on);
    m_ui.dynamicPoints->setEnabled(!on);
    m_ui.dynamicSaveGraphAll->setEnabled(!on);
    m_ui.dynamicZoomToNative->setEnabled(!on && m_mode == NativePairing::Paired);
    emit dynamicAnimationChanged(on);
}
