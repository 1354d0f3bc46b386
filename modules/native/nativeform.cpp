#include "modules/native/nativeform.h"

#include "astro/beamtables.h"
#include "data/nativefile.h"
#include "ui/wheelfocusfilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char fileFieldStyle[] = "background-color: #dfffd3;";

QLineEdit *fileField(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(true);
    edit->setStyleSheet(QLatin1String(fileFieldStyle));
    edit->setMinimumWidth(40);
    return edit;
}

QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(40);
    return edit;
}

QSpinBox *spinBox(const char *name, int minimum, int maximum, int value, QWidget *parent,
                  bool wrapping = false)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(minimum, maximum);
    box->setValue(value);
    box->setWrapping(wrapping);
    // Wide ranges would otherwise widen the whole form past its panel.
    box->setMinimumWidth(50);
    return box;
}

// Spin boxes of a first point hold an index and show the point's number.
PointNumberSpinBox *pointSpinBox(const char *name, int maximum, QWidget *parent)
{
    auto *box = new PointNumberSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(0, maximum);
    box->setMinimumWidth(50);
    return box;
}

QPushButton *button(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QCheckBox *checkBox(const char *name, const QString &text, bool checked, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setChecked(checked);
    return box;
}

QLabel *label(const QString &text, QWidget *parent)
{
    return new QLabel(text, parent);
}

// A checkable group whose controls sit on a content widget that is hidden
// while the group is off.
QGroupBox *checkableGroup(const QString &title, bool on, QWidget **content, QWidget *parent)
{
    auto *group = new QGroupBox(title, parent);
    group->setCheckable(true);
    group->setChecked(on);
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(4, 4, 4, 4);
    *content = new QWidget(group);
    layout->addWidget(*content);
    (*content)->setVisible(on);
    return group;
}

// Sets the range and keeps the value when inside it, else takes the fallback.
void setRangeKeeping(QSpinBox *box, int minimum, int maximum, int fallback, bool keep)
{
    const int old = box->value();
    box->setRange(minimum, maximum);
    box->setValue(keep && old >= minimum && old <= maximum ? old : fallback);
}

} // namespace

NativeForm::NativeForm(QWidget *parent)
    : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll);

    auto *column = new QWidget(scroll);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(buildFileGroup());
    layout->addWidget(buildNativeGroup());
    layout->addWidget(buildDynamicGroup());
    layout->addWidget(buildFourierGroup());
    layout->addWidget(buildGraph2Group());

    m_saveScreen = button("saveScreen", QStringLiteral("Save screenshot"), column);
    m_saveScreen->setMinimumSize(280, 30);
    layout->addWidget(m_saveScreen);

    auto *pathGroup = new QGroupBox(QStringLiteral("File path"), column);
    auto *pathLayout = new QVBoxLayout(pathGroup);
    m_filePath = new QTextEdit(pathGroup);
    m_filePath->setObjectName(QStringLiteral("filePath"));
    m_filePath->setReadOnly(true);
    m_filePath->setFixedHeight(60);
    pathLayout->addWidget(m_filePath);
    layout->addWidget(pathGroup);
    layout->addStretch(1);
    scroll->setWidget(column);

    connectControls();
    WheelFocusFilter::install(this);
    setMode(NativeOnly);
    updateSaveButtons();
    updateFileButtons();
}

QWidget *NativeForm::buildFileGroup()
{
    auto *group = new QGroupBox(QStringLiteral("File info"));
    auto *grid = new QGridLayout(group);
    grid->setContentsMargins(4, 4, 4, 4);
    m_comboBoxFiles = new QComboBox(group);
    m_comboBoxFiles->setObjectName(QStringLiteral("comboBoxFiles"));
    m_comboBoxFiles->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_comboBoxFiles->setMinimumContentsLength(8);
    m_filePre = button("filePre", QStringLiteral(" <- "), group);
    m_fileNext = button("fileNext", QStringLiteral(" -> "), group);
    m_filePre->setFixedWidth(50);
    m_fileNext->setFixedWidth(50);
    auto *nav = new QHBoxLayout;
    nav->addWidget(m_filePre);
    nav->addWidget(m_comboBoxFiles, 1);
    nav->addWidget(m_fileNext);
    grid->addLayout(nav, 0, 0, 1, 4);

    m_zone = fileField("zone", group);
    m_ploshField = fileField("plosh", group);
    m_dateKvx = fileField("dateKvx", group);
    m_timeKvx = fileField("timeKvx", group);
    m_dateUtc = fileField("dateUtc", group);
    m_timeUtc = fileField("timeUtc", group);
    m_tresolution = fileField("tresolution", group);
    m_code = fileField("code", group);
    m_npoints = fileField("npoints", group);
    m_fileFirstPoint = fileField("fileFirstPoint", group);
    m_channels = fileField("channels", group);
    m_modules = fileField("modules", group);
    m_rays = fileField("rays", group);
    m_codeLabel = label(QStringLiteral("Code"), group);

    int row = 1;
    grid->addWidget(label(QStringLiteral("Timezone"), group), row, 0);
    grid->addWidget(m_zone, row, 1);
    grid->addWidget(label(QStringLiteral("Plosh"), group), row, 2);
    grid->addWidget(m_ploshField, row++, 3);
    grid->addWidget(label(QStringLiteral("Date KVX"), group), row, 0);
    grid->addWidget(m_dateKvx, row, 1);
    grid->addWidget(label(QStringLiteral("Time KVX"), group), row, 2);
    grid->addWidget(m_timeKvx, row++, 3);
    grid->addWidget(label(QStringLiteral("Date UTC"), group), row, 0);
    grid->addWidget(m_dateUtc, row, 1);
    grid->addWidget(label(QStringLiteral("Time UTC"), group), row, 2);
    grid->addWidget(m_timeUtc, row++, 3);
    grid->addWidget(label(QStringLiteral("Tresolution"), group), row, 0);
    grid->addWidget(m_tresolution, row, 1);
    grid->addWidget(m_codeLabel, row, 2);
    grid->addWidget(m_code, row++, 3);
    grid->addWidget(label(QStringLiteral("File points"), group), row, 0);
    grid->addWidget(m_npoints, row, 1);
    grid->addWidget(label(QStringLiteral("First point"), group), row, 2);
    grid->addWidget(m_fileFirstPoint, row++, 3);
    grid->addWidget(label(QStringLiteral("Number of channels:"), group), row, 0, 1, 3);
    grid->addWidget(m_channels, row++, 3);
    grid->addWidget(label(QStringLiteral("modules:"), group), row, 0);
    grid->addWidget(m_modules, row, 1);
    grid->addWidget(label(QStringLiteral("beams:"), group), row, 2);
    grid->addWidget(m_rays, row++, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    // Dates ("2026.07.25") and sample intervals must show whole, with the
    // program's 5 px line-edit padding on each side.
    const int valueWidth = m_dateKvx->fontMetrics().horizontalAdvance(QStringLiteral("0000.00.00")) + 20;
    grid->setColumnMinimumWidth(1, valueWidth);
    grid->setColumnMinimumWidth(3, valueWidth);
    m_code->setVisible(false);
    m_codeLabel->setVisible(false);
    return group;
}

QWidget *NativeForm::buildNativeGroup()
{
    m_nativeGroup = checkableGroup(QStringLiteral("Native data"), true, &m_nativeContent, nullptr);
    m_nativeGroup->setObjectName(QStringLiteral("nativeGroup"));
    QWidget *c = m_nativeContent;
    auto *grid = new QGridLayout(c);
    grid->setContentsMargins(0, 0, 0, 0);
    m_nativeModule = spinBox("nativeModule", 1, 6, 1, c, true);
    m_nativeRay = spinBox("nativeRay", 0, 8, 0, c, true);
    m_nativeChannel = spinBox("nativeChannel", 0, 32, 0, c, true);
    m_nativeDispersion = spinBox("nativeDispersion", 0, 200, 0, c);
    m_nativeDelta = fileField("nativeDelta", c);
    m_nativeFirstPoint = pointSpinBox("nativeFirstPoint", 999999999, c);
    m_nativePoints = lineEdit("nativePoints", c);
    m_nativeSearchPoint = lineEdit("nativeSearchPoint", c);
    m_nativeSearchAlpha = lineEdit("nativeSearchAlpha", c);
    m_nativeRightPanel = checkBox("nativeRightPanel", QStringLiteral("Right panel"), true, c);
    m_nativeZoomToDynamic = button("nativeZoomToDynamic", QStringLiteral("   Zoom to dynamic"), c);
    m_nativeCenterToSearchPoint =
        button("nativeCenterToSearchPoint", QStringLiteral("Center to search point"), c);
    m_nativeResetToNative = button("nativeResetToNative", QStringLiteral("Reset to native"), c);
    m_nativeSaveGraph = button("nativeSaveGraph", QStringLiteral("Save native graph"), c);
    m_nativeSaveDataPnt = button("nativeSaveDataPnt", QStringLiteral("Save native data - pnt"), c);
    m_nativeSaveDataTxt = button("nativeSaveDataTxt", QStringLiteral("Save native data - txt"), c);

    int row = 0;
    grid->addWidget(label(QStringLiteral("Module"), c), row, 0);
    grid->addWidget(m_nativeModule, row, 1);
    grid->addWidget(label(QStringLiteral("Beam"), c), row, 2);
    grid->addWidget(m_nativeRay, row++, 3);
    grid->addWidget(label(QStringLiteral("Beam=0: all beams on the graph"), c), row++, 0, 1, 4);
    grid->addWidget(label(QStringLiteral("Channel"), c), row, 0);
    grid->addWidget(m_nativeChannel, row, 1);
    grid->addWidget(label(QStringLiteral("Dispersion"), c), row, 2);
    grid->addWidget(m_nativeDispersion, row++, 3);
    grid->addWidget(label(QStringLiteral("Channel=0: channel sum with dispersion"), c), row++, 0, 1, 4);
    grid->addWidget(label(QStringLiteral("Delta"), c), row, 0);
    grid->addWidget(m_nativeDelta, row++, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("First point"), c), row, 0);
    grid->addWidget(m_nativeFirstPoint, row, 1);
    grid->addWidget(label(QStringLiteral("Points"), c), row, 2);
    grid->addWidget(m_nativePoints, row++, 3);
    grid->addWidget(label(QStringLiteral("Search point"), c), row, 0);
    grid->addWidget(m_nativeSearchPoint, row++, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("Search alpha"), c), row, 0);
    grid->addWidget(m_nativeSearchAlpha, row++, 1, 1, 3);
    grid->addWidget(m_nativeRightPanel, row, 0, 1, 2);
    grid->addWidget(m_nativeZoomToDynamic, row++, 2, 1, 2);
    grid->addWidget(m_nativeCenterToSearchPoint, row++, 0, 1, 4);
    grid->addWidget(m_nativeResetToNative, row++, 0, 1, 4);
    grid->addWidget(m_nativeSaveGraph, row++, 0, 1, 4);
    grid->addWidget(m_nativeSaveDataPnt, row++, 0, 1, 4);
    grid->addWidget(m_nativeSaveDataTxt, row++, 0, 1, 4);
    return m_nativeGroup;
}

QWidget *NativeForm::buildDynamicGroup()
{
    m_dynamicGroup = checkableGroup(QStringLiteral("Dynamic spectrum"), false, &m_dynamicContent, nullptr);
    m_dynamicGroup->setObjectName(QStringLiteral("dynamicGroup"));
    QWidget *c = m_dynamicContent;
    auto *grid = new QGridLayout(c);
    grid->setContentsMargins(0, 0, 0, 0);
    m_dynamicModule = spinBox("dynamicModule", 1, 6, 1, c, true);
    m_dynamicRay = spinBox("dynamicRay", 1, 8, 1, c, true);
    m_dynamicDispersion = spinBox("dynamicDispersion", 0, 200, 0, c);
    m_dynamicDelta = fileField("dynamicDelta", c);
    m_dynamicShowDispersion = checkBox("dynamicShowDispersion", QStringLiteral("Show disp"), false, c);
    m_dynamicShiftDispersion = spinBox("dynamicShiftDispersion", -15000, 15000, 0, c);
    m_dynamicPixWidth = spinBox("dynamicPixWidth", 1, 50, 2, c);
    m_dynamicPixHeight = spinBox("dynamicPixHeight", 1, 50, 4, c);
    m_dynamicTypeFitToWidth = new QRadioButton(QStringLiteral("fit to width"), c);
    m_dynamicTypeFitToWidth->setObjectName(QStringLiteral("dynamicTypeFitToWidth"));
    m_dynamicTypeFitToWidth->setChecked(true);
    m_dynamicTypeScrollable = new QRadioButton(QStringLiteral("scrollable"), c);
    m_dynamicTypeScrollable->setObjectName(QStringLiteral("dynamicTypeScrollable"));
    m_dynamicTypeAnimation = new QRadioButton(QStringLiteral("animation"), c);
    m_dynamicTypeAnimation->setObjectName(QStringLiteral("dynamicTypeAnimation"));
    m_dynamicFirstPoint = pointSpinBox("dynamicFirstPoint", 999999999, c);
    m_dynamicPoints = lineEdit("dynamicPoints", c);
    m_dynamicSearchPoint = lineEdit("dynamicSearchPoint", c);
    m_dynamicSearchAlpha = lineEdit("dynamicSearchAlpha", c);
    m_dynamicRightPanel = checkBox("dynamicRightPanel", QStringLiteral("Right panel"), true, c);
    m_dynamicForPrint = checkBox("dynamicForPrint", QStringLiteral("For print"), false, c);
    m_dynamicSumHeight = spinBox("dynamicSumHeight", 32, 400, 100, c);
    m_dynamicLineThickness = spinBox("dynamicLineThickness", 1, 6, 1, c);
    m_dynamicScaleThickness = spinBox("dynamicScaleThickness", 1, 6, 1, c);
    m_dynamicFontSize = spinBox("dynamicFontSize", 6, 72, 9, c);
    m_dynamicZoomToNative = button("dynamicZoomToNative", QStringLiteral("Zoom to native"), c);
    m_dynamicCenterToSearchPoint =
        button("dynamicCenterToSearchPoint", QStringLiteral("Center to search point"), c);
    m_dynamicSaveGraphArea = button("dynamicSaveGraphArea", QStringLiteral("Save spectrum area"), c);
    m_dynamicSaveGraphAll = button("dynamicSaveGraphAll", QStringLiteral("Save spectrum all"), c);

    int row = 0;
    grid->addWidget(label(QStringLiteral("Module, beam"), c), row, 0);
    grid->addWidget(m_dynamicModule, row, 1);
    grid->addWidget(m_dynamicRay, row++, 2);
    grid->addWidget(label(QStringLiteral("Dispersion"), c), row, 0);
    grid->addWidget(m_dynamicDispersion, row, 1);
    grid->addWidget(m_dynamicShowDispersion, row++, 2);
    grid->addWidget(label(QStringLiteral("Delta"), c), row, 0);
    grid->addWidget(m_dynamicDelta, row++, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Shift disp"), c), row, 0);
    grid->addWidget(m_dynamicShiftDispersion, row++, 1);
    grid->addWidget(label(QStringLiteral("Pixel size"), c), row, 0);
    grid->addWidget(m_dynamicPixWidth, row, 1);
    grid->addWidget(m_dynamicPixHeight, row++, 2);
    grid->addWidget(m_dynamicTypeFitToWidth, row, 0);
    grid->addWidget(m_dynamicTypeScrollable, row++, 1, 1, 2);
    grid->addWidget(m_dynamicTypeAnimation, row++, 0);
    grid->addWidget(label(QStringLiteral("First point"), c), row, 0);
    grid->addWidget(m_dynamicFirstPoint, row++, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Points"), c), row, 0);
    grid->addWidget(m_dynamicPoints, row++, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Search point"), c), row, 0);
    grid->addWidget(m_dynamicSearchPoint, row++, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Search alpha"), c), row, 0);
    grid->addWidget(m_dynamicSearchAlpha, row++, 1, 1, 2);
    grid->addWidget(m_dynamicRightPanel, row, 0);
    grid->addWidget(m_dynamicForPrint, row++, 1);
    grid->addWidget(label(QStringLiteral("Graph height"), c), row, 0);
    grid->addWidget(m_dynamicSumHeight, row++, 1);
    grid->addWidget(label(QStringLiteral("Line thickness"), c), row, 0);
    grid->addWidget(m_dynamicLineThickness, row++, 1);
    grid->addWidget(label(QStringLiteral("Scale thickness"), c), row, 0);
    grid->addWidget(m_dynamicScaleThickness, row++, 1);
    grid->addWidget(label(QStringLiteral("Font size"), c), row, 0);
    grid->addWidget(m_dynamicFontSize, row++, 1);
    grid->addWidget(m_dynamicZoomToNative, row++, 0, 1, 3);
    grid->addWidget(m_dynamicCenterToSearchPoint, row++, 0, 1, 3);
    grid->addWidget(m_dynamicSaveGraphArea, row++, 0, 1, 3);
    grid->addWidget(m_dynamicSaveGraphAll, row++, 0, 1, 3);
    return m_dynamicGroup;
}

QWidget *NativeForm::buildFourierGroup()
{
    m_fourierGroup = checkableGroup(QStringLiteral("Fourier"), false, &m_fourierContent, nullptr);
    m_fourierGroup->setObjectName(QStringLiteral("fourierGroup"));
    QWidget *c = m_fourierContent;
    auto *grid = new QGridLayout(c);
    grid->setContentsMargins(0, 0, 0, 0);
    m_fourierModule = spinBox("fourierModule", 1, 6, 1, c);
    m_fourierRay = spinBox("fourierRay", 1, 8, 1, c);
    m_fourierDispersion = spinBox("fourierDispersion", 0, 200, 0, c);
    m_fourierFirstPoint = pointSpinBox("fourierFirstPoint", 0, c);
    m_fourierPoints = spinBox("fourierPoints", 0, 0, 0, c);
    m_fourierRightPanel = checkBox("fourierRightPanel", QStringLiteral("Right panel"), true, c);
    grid->addWidget(label(QStringLiteral("Module, ray"), c), 0, 0);
    grid->addWidget(m_fourierModule, 0, 1);
    grid->addWidget(m_fourierRay, 0, 2);
    grid->addWidget(label(QStringLiteral("Dispersion"), c), 1, 0);
    grid->addWidget(m_fourierDispersion, 1, 1);
    grid->addWidget(label(QStringLiteral("First point"), c), 2, 0);
    grid->addWidget(m_fourierFirstPoint, 2, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Points"), c), 3, 0);
    grid->addWidget(m_fourierPoints, 3, 1, 1, 2);
    grid->addWidget(m_fourierRightPanel, 4, 0, 1, 3);
    return m_fourierGroup;
}

QWidget *NativeForm::buildGraph2Group()
{
    m_graph2Group = checkableGroup(QStringLiteral("Native data - graph 2"), false, &m_graph2Content, nullptr);
    m_graph2Group->setObjectName(QStringLiteral("graph2Group"));
    QWidget *c = m_graph2Content;
    auto *grid = new QGridLayout(c);
    grid->setContentsMargins(0, 0, 0, 0);
    m_nativeModule2 = spinBox("nativeModule2", 1, 6, 1, c, true);
    m_nativeRay2 = spinBox("nativeRay2", 0, 8, 0, c, true);
    m_nativeChannel2 = spinBox("nativeChannel2", 1, 32, 1, c, true);
    m_nativeDelta2 = fileField("nativeDelta2", c);
    m_nativeRightPanel2 = checkBox("nativeRightPanel2", QStringLiteral("Right panel"), true, c);
    grid->addWidget(label(QStringLiteral("Module, ray"), c), 0, 0);
    grid->addWidget(m_nativeModule2, 0, 1);
    grid->addWidget(m_nativeRay2, 0, 2);
    grid->addWidget(label(QStringLiteral("(ray=0: all rays)"), c), 1, 0, 1, 3);
    grid->addWidget(label(QStringLiteral("Channel"), c), 2, 0);
    grid->addWidget(m_nativeChannel2, 2, 1);
    grid->addWidget(label(QStringLiteral("Delta"), c), 3, 0);
    grid->addWidget(m_nativeDelta2, 3, 1, 1, 2);
    grid->addWidget(m_nativeRightPanel2, 4, 0, 1, 3);
    return m_graph2Group;
}

void NativeForm::connectControls()
{
    using SpinChanged = void (QSpinBox::*)(int);
    const SpinChanged changed = &QSpinBox::valueChanged;

    connect(m_comboBoxFiles, QOverload<int>::of(&QComboBox::activated), this,
            &NativeForm::onFileComboActivated);
    connect(m_fileNext, &QPushButton::clicked, this, &NativeForm::onFileNextClicked);
    connect(m_filePre, &QPushButton::clicked, this, &NativeForm::onFilePreClicked);

    connect(m_nativeModule, changed, this, [this] {
        if (isPaired())
            copyNativeToDynamic();
        updateDeltaFromSelection();
        emit graphParametersChanged();
    });
    connect(m_nativeRay, changed, this, [this](int ray) {
        if (ray == 0 && isPaired())
            m_dynamicGroup->setChecked(false);
        if (isPaired())
            copyNativeToDynamic();
        updateDeltaFromSelection();
        updateSaveButtons();
        emit graphParametersChanged();
    });
    connect(m_nativeDispersion, changed, this, [this] {
        if (isPaired())
            copyNativeToDynamic();
        emit graphParametersChanged();
    });
    connect(m_nativeChannel, changed, this, &NativeForm::graphParametersChanged);
    connect(m_nativeFirstPoint, changed, this, &NativeForm::nativeRangeEdited);
    connect(m_nativePoints, &QLineEdit::editingFinished, this, &NativeForm::nativeRangeEdited);
    connect(m_dynamicFirstPoint, changed, this, &NativeForm::dynamicRangeEdited);
    connect(m_dynamicPoints, &QLineEdit::editingFinished, this, &NativeForm::dynamicRangeEdited);

    connect(m_nativeSearchPoint, &QLineEdit::editingFinished, this,
            [this] { emit nativeSearchPointEdited(m_nativeSearchPoint->text().trimmed()); });
    connect(m_dynamicSearchPoint, &QLineEdit::editingFinished, this,
            [this] { emit dynamicSearchPointEdited(m_dynamicSearchPoint->text().trimmed()); });
    connect(m_nativeSearchAlpha, &QLineEdit::editingFinished, this,
            [this] { emit nativeSearchAlphaEdited(m_nativeSearchAlpha->text().trimmed()); });
    connect(m_dynamicSearchAlpha, &QLineEdit::editingFinished, this,
            [this] { emit dynamicSearchAlphaEdited(m_dynamicSearchAlpha->text().trimmed()); });

    for (QSpinBox *box : {m_dynamicModule, m_dynamicRay, m_dynamicDispersion}) {
        connect(box, changed, this, [this] {
            if (isPaired())
                copyDynamicToNative();
            updateDynamicDelta();
            emit graphParametersChanged();
        });
    }
    for (QSpinBox *box : {m_dynamicSumHeight, m_dynamicLineThickness, m_dynamicScaleThickness, m_dynamicFontSize,
                          m_dynamicShiftDispersion, m_fourierModule, m_fourierRay, m_fourierDispersion,
                          static_cast<QSpinBox *>(m_fourierFirstPoint), m_fourierPoints, m_nativeChannel2})
        connect(box, changed, this, &NativeForm::graphParametersChanged);
    connect(m_dynamicShowDispersion, &QCheckBox::toggled, this, &NativeForm::graphParametersChanged);
    connect(m_dynamicForPrint, &QCheckBox::toggled, this, &NativeForm::graphParametersChanged);
    connect(m_fourierGroup, &QGroupBox::toggled, this, [this](bool on) {
        m_fourierContent->setVisible(on);
        emit graphParametersChanged();
    });

    const auto pixelSize = [this] {
        emit dynamicPixelSizeChanged(m_dynamicPixWidth->value(), m_dynamicPixHeight->value());
    };
    connect(m_dynamicPixWidth, changed, this, pixelSize);
    connect(m_dynamicPixHeight, changed, this, pixelSize);

    connect(m_dynamicTypeFitToWidth, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            emit graphParametersChanged();
    });
    connect(m_dynamicTypeScrollable, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            emit graphParametersChanged();
    });
    connect(m_dynamicTypeAnimation, &QRadioButton::toggled, this, &NativeForm::onAnimationToggled);

    connect(m_nativeRightPanel, &QCheckBox::toggled, this, &NativeForm::nativeRightPanelChanged);
    connect(m_nativeRightPanel2, &QCheckBox::toggled, this, &NativeForm::nativeRightPanel2Changed);
    connect(m_fourierRightPanel, &QCheckBox::toggled, this, &NativeForm::fourierRightPanelChanged);
    connect(m_dynamicRightPanel, &QCheckBox::toggled, this, &NativeForm::dynamicRightPanelChanged);

    connect(m_nativeModule2, changed, this, [this] {
        updateDelta2FromSelection();
        emit graphParametersChanged();
    });
    connect(m_nativeRay2, changed, this, [this] {
        updateDelta2FromSelection();
        emit graphParametersChanged();
    });

    connect(m_nativeGroup, &QGroupBox::toggled, this, &NativeForm::onNativeGroupToggled);
    connect(m_dynamicGroup, &QGroupBox::toggled, this, &NativeForm::onDynamicGroupToggled);
    connect(m_graph2Group, &QGroupBox::toggled, this, &NativeForm::onGraph2GroupToggled);

    connect(m_nativeZoomToDynamic, &QPushButton::clicked, this, &NativeForm::nativeZoomToDynamicRequested);
    connect(m_nativeCenterToSearchPoint, &QPushButton::clicked, this,
            &NativeForm::nativeCenterToSearchPointRequested);
    connect(m_nativeResetToNative, &QPushButton::clicked, this, &NativeForm::nativeResetToNativeRequested);
    connect(m_dynamicZoomToNative, &QPushButton::clicked, this, &NativeForm::dynamicZoomToNativeRequested);
    connect(m_dynamicCenterToSearchPoint, &QPushButton::clicked, this,
            &NativeForm::dynamicCenterToSearchPointRequested);
    connect(m_nativeSaveGraph, &QPushButton::clicked, this, &NativeForm::nativeSaveGraphRequested);
    connect(m_nativeSaveDataPnt, &QPushButton::clicked, this, &NativeForm::nativeSaveDataPntRequested);
    connect(m_nativeSaveDataTxt, &QPushButton::clicked, this, &NativeForm::nativeSaveDataTxtRequested);
    connect(m_dynamicSaveGraphArea, &QPushButton::clicked, this, &NativeForm::dynamicSaveGraphAreaRequested);
    connect(m_dynamicSaveGraphAll, &QPushButton::clicked, this, &NativeForm::dynamicSaveGraphAllRequested);
    connect(m_saveScreen, &QPushButton::clicked, this, &NativeForm::saveScreenRequested);
}

bool NativeForm::nativeOn() const
{
    return m_nativeGroup->isChecked();
}

bool NativeForm::dynamicOn() const
{
    return m_dynamicGroup->isChecked();
}

bool NativeForm::fourierOn() const
{
    return m_fourierGroup->isChecked();
}

bool NativeForm::graph2On() const
{
    return m_graph2Group->isChecked();
}

NativeForm::DynamicType NativeForm::dynamicType() const
{
    if (m_dynamicTypeAnimation->isChecked())
        return Animation;
    if (m_dynamicTypeScrollable->isChecked())
        return Scrollable;
    return FitToWidth;
}

QString NativeForm::currentPath() const
{
    return m_comboBoxFiles->currentData().toString();
}

int NativeForm::currentFileIndex() const
{
    return m_comboBoxFiles->currentIndex();
}

void NativeForm::setFileList(const QVector<NativeFileEntry> &files, const QString &currentPath)
{
    m_files = files;
    {
        const QSignalBlocker blocker(m_comboBoxFiles);
        m_comboBoxFiles->clear();
        int selected = 0;
        for (int i = 0; i < files.size(); ++i) {
            m_comboBoxFiles->addItem(files[i].fileName, files[i].absolutePath);
            if (files[i].absolutePath == currentPath)
                selected = i;
        }
        if (!files.isEmpty())
            m_comboBoxFiles->setCurrentIndex(selected);
    }
    m_filePath->setPlainText(files.isEmpty() ? currentPath : m_comboBoxFiles->currentData().toString());
    updateFileButtons();
}

void NativeForm::updateFileButtons()
{
    const int index = m_comboBoxFiles->currentIndex();
    m_filePre->setEnabled(index > 0);
    m_fileNext->setEnabled(index >= 0 && index < m_comboBoxFiles->count() - 1);
}

void NativeForm::onFileComboActivated(int index)
{
    const QString path = m_comboBoxFiles->itemData(index).toString();
    if (path.isEmpty())
        return;
    m_filePath->setPlainText(path);
    updateFileButtons();
    emit fileChanged(path);
}

void NativeForm::onFileNextClicked()
{
    const int index = m_comboBoxFiles->currentIndex();
    if (index >= 0 && index < m_comboBoxFiles->count() - 1) {
        m_comboBoxFiles->setCurrentIndex(index + 1);
        onFileComboActivated(index + 1);
    } else {
        updateFileButtons();
    }
}

void NativeForm::onFilePreClicked()
{
    const int index = m_comboBoxFiles->currentIndex();
    if (index >= 1 && index < m_comboBoxFiles->count()) {
        m_comboBoxFiles->setCurrentIndex(index - 1);
        onFileComboActivated(index - 1);
    } else {
        updateFileButtons();
    }
}

void NativeForm::resetFileFields()
{
    for (QLineEdit *field : {m_zone, m_ploshField, m_dateKvx, m_timeKvx, m_dateUtc, m_timeUtc,
                             m_tresolution, m_code, m_npoints, m_fileFirstPoint, m_channels,
                             m_modules, m_rays})
        field->clear();
    // Nothing of the previous file may stay: its site, deltas, ranges and search fields.
    m_plosh.clear();
    for (QLineEdit *field : {m_nativeDelta, m_nativeDelta2, m_dynamicDelta, m_nativePoints, m_dynamicPoints,
                             m_nativeSearchPoint, m_nativeSearchAlpha, m_dynamicSearchPoint,
                             m_dynamicSearchAlpha})
        field->clear();
    for (PointNumberSpinBox *box : {m_nativeFirstPoint, m_dynamicFirstPoint, m_fourierFirstPoint}) {
        const QSignalBlocker blocker(box);
        box->setNumberOffset(0);
        box->setValue(0);
    }
    const QSignalBlocker blocker(m_fourierPoints);
    m_fourierPoints->setValue(0);
    m_exportAllowed = false;
    updateSaveButtons();
}

void NativeForm::setFileInfo(const NativeFile &file, bool keepSelection)
{
    const int npoints = std::max(file.npoints, 0);
    {
        const QSignalBlocker b1(m_nativeModule);
        const QSignalBlocker b2(m_nativeRay);
        const QSignalBlocker b3(m_nativeChannel);
        const QSignalBlocker b4(m_nativeDispersion);
        const QSignalBlocker b5(m_nativeModule2);
        const QSignalBlocker b6(m_nativeRay2);
        const QSignalBlocker b7(m_fourierModule);
        const QSignalBlocker b8(m_fourierRay);
        const QSignalBlocker b9(m_dynamicModule);
        const QSignalBlocker b10(m_dynamicRay);
        const QSignalBlocker b11(m_nativeChannel2);
        const QSignalBlocker b12(m_nativeFirstPoint);
        const QSignalBlocker b13(m_dynamicFirstPoint);
        const QSignalBlocker b14(m_fourierPoints);
        const QSignalBlocker b15(m_fourierFirstPoint);

        const int firstModule = file.firstModule;
        const int lastModule = firstModule + std::max(file.nModules - 1, 0);
        setRangeKeeping(m_nativeModule, firstModule, lastModule, firstModule, keepSelection);
        for (QSpinBox *box : {m_nativeModule2, m_fourierModule, m_dynamicModule}) {
            box->setRange(firstModule, lastModule);
            box->setValue(firstModule);
        }

        m_firstRay = file.firstRay;
        if (file.nRays < 2) {
            m_lastRay = m_firstRay;
            m_allRaysAllowed = false;
        } else {
            m_lastRay = m_firstRay + file.nRays - 1;
            m_allRaysAllowed = file.nRays == 8 && file.firstRay == 1;
        }
        const int rayMin = m_allRaysAllowed ? 0 : m_firstRay;
        setRangeKeeping(m_nativeRay, rayMin, m_lastRay, rayMin == 0 ? 0 : m_firstRay, keepSelection);
        m_nativeRay2->setRange(rayMin, m_lastRay);
        m_nativeRay2->setValue(m_allRaysAllowed ? 0 : m_firstRay);
        for (QSpinBox *box : {m_fourierRay, m_dynamicRay}) {
            box->setRange(m_firstRay, m_lastRay);
            box->setValue(m_firstRay);
        }

        m_channelCount = std::max(file.nChannels, 1);
        setRangeKeeping(m_nativeChannel, 0, m_channelCount, 0, keepSelection);
        const int dispersion = m_nativeDispersion->value();
        m_nativeDispersion->setValue(keepSelection && dispersion >= m_nativeDispersion->minimum()
                                             && dispersion <= m_nativeDispersion->maximum()
                                         ? dispersion
                                         : 0);
        m_nativeChannel2->setRange(1, m_channelCount);

        const int lastPoint = std::max(npoints - 1, 0);
        for (PointNumberSpinBox *box : {m_nativeFirstPoint, m_dynamicFirstPoint, m_fourierFirstPoint})
            box->setNumberOffset(file.firstPoint);
        m_nativeFirstPoint->setRange(0, lastPoint);
        m_dynamicFirstPoint->setRange(0, lastPoint);
        m_fourierPoints->setRange(0, npoints);
        m_fourierPoints->setValue(npoints);
        m_fourierFirstPoint->setRange(0, lastPoint);
        m_fourierFirstPoint->setValue(0);
        m_nativeFirstPoint->setValue(0);
        m_dynamicFirstPoint->setValue(0);
    }
    m_nativePoints->setText(QString::number(npoints));
    m_dynamicPoints->setText(QString::number(std::min(npoints, 1000)));
    for (QLineEdit *field : {m_nativeSearchPoint, m_nativeSearchAlpha, m_dynamicSearchPoint,
                             m_dynamicSearchAlpha})
        field->clear();

    m_npoints->setText(QString::number(file.npoints));
    m_channels->setText(QString::number(file.nChannels));
    m_modules->setText(QString::number(file.nModules));
    m_rays->setText(QString::number(file.nRays));
    m_plosh = file.plosh;
    m_ploshField->setText(file.plosh);
    const bool n4 = file.plosh == QLatin1String("N4");
    m_code->setText(n4 ? file.positionCodeKey : QString());
    m_code->setVisible(n4);
    m_codeLabel->setVisible(n4);
    m_tresolution->setText(file.tresolutionText.isEmpty() ? QString::number(file.tresolution, 'g', 12)
                                                          : file.tresolutionText);
    m_dateKvx->setText(file.localBeginDate);
    m_timeKvx->setText(file.localBeginTime);
    m_dateUtc->setText(file.utcBeginDate);
    m_timeUtc->setText(file.utcBeginTime);
    m_zone->setText(QString::number(file.zone));
    m_fileFirstPoint->setText(QString::number(file.firstPoint));
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
    QLineEdit *pointField = dynamic ? m_dynamicSearchPoint : m_nativeSearchPoint;
    QLineEdit *alphaField = dynamic ? m_dynamicSearchAlpha : m_nativeSearchAlpha;
    const QSignalBlocker b1(pointField);
    const QSignalBlocker b2(alphaField);
    pointField->setText(point);
    alphaField->setText(alpha);
}

void NativeForm::setNativeRange(int first, int count)
{
    const QSignalBlocker blocker(m_nativeFirstPoint);
    m_nativeFirstPoint->setValue(first);
    m_nativePoints->setText(QString::number(count));
}

void NativeForm::setDynamicRange(int first, int count)
{
    const QSignalBlocker blocker(m_dynamicFirstPoint);
    m_dynamicFirstPoint->setValue(first);
    m_dynamicPoints->setText(QString::number(count));
}

void NativeForm::updateDeltaFromSelection()
{
    if (m_plosh.isEmpty()) {
        m_nativeDelta->clear();
        return;
    }
    const int module = m_nativeModule->value();
    const int ray = m_nativeRay->value();
    m_nativeDelta->setText(ray != 0 ? beamDeclinationText(module, ray, m_plosh)
                                    : centralDeclinationText(module, m_plosh));
}

void NativeForm::updateDelta2FromSelection()
{
    if (m_plosh.isEmpty()) {
        m_nativeDelta2->clear();
        return;
    }
    const int module = m_nativeModule2->value();
    const int ray = m_nativeRay2->value();
    m_nativeDelta2->setText(ray != 0 ? beamDeclinationText(module, ray, m_plosh)
                                     : centralDeclinationText(module, m_plosh));
}

void NativeForm::updateDynamicDelta()
{
    m_dynamicDelta->setText(m_plosh.isEmpty()
                                ? QString()
                                : beamDeclinationText(m_dynamicModule->value(), m_dynamicRay->value(), m_plosh));
}

void NativeForm::copyNativeToDynamic()
{
    {
        const QSignalBlocker b1(m_dynamicModule);
        const QSignalBlocker b2(m_dynamicRay);
        const QSignalBlocker b3(m_dynamicDispersion);
        const QSignalBlocker b4(m_dynamicSearchPoint);
        const QSignalBlocker b5(m_dynamicSearchAlpha);
        m_dynamicModule->setValue(m_nativeModule->value());
        m_dynamicRay->setValue(m_nativeRay->value());
        m_dynamicDispersion->setValue(m_nativeDispersion->value());
        m_dynamicSearchPoint->setText(m_nativeSearchPoint->text());
        m_dynamicSearchAlpha->setText(m_nativeSearchAlpha->text());
    }
    updateDynamicDelta();
}

void NativeForm::copyDynamicToNative()
{
    {
        const QSignalBlocker b1(m_nativeModule);
        const QSignalBlocker b2(m_nativeRay);
        const QSignalBlocker b3(m_nativeDispersion);
        const QSignalBlocker b4(m_nativeSearchPoint);
        const QSignalBlocker b5(m_nativeSearchAlpha);
        m_nativeModule->setValue(m_dynamicModule->value());
        m_nativeRay->setValue(m_dynamicRay->value());
        m_nativeDispersion->setValue(m_dynamicDispersion->value());
        m_nativeSearchPoint->setText(m_dynamicSearchPoint->text());
        m_nativeSearchAlpha->setText(m_dynamicSearchAlpha->text());
    }
    updateDeltaFromSelection();
    updateSaveButtons();
}

void NativeForm::setMode(PairingMode mode)
{
    m_mode = mode;
    m_nativeZoomToDynamic->setEnabled(mode == Paired);
    m_dynamicZoomToNative->setEnabled(mode == Paired && !m_dynamicTypeAnimation->isChecked());
}

void NativeForm::updateSaveButtons()
{
    const bool pnt = nativeOn() && m_exportAllowed;
    m_nativeSaveDataPnt->setEnabled(pnt);
    m_nativeSaveDataTxt->setEnabled(pnt && m_nativeRay->value() >= 1);
}

void NativeForm::onNativeGroupToggled(bool on)
{
    m_nativeContent->setVisible(on);
    if (!on) {
        setMode(dynamicOn() ? DynamicOnly : NothingOn);
    } else if (dynamicOn()) {
        copyDynamicToNative();
        setMode(Paired);
        emit nativeDynamicPairingStarted(false);
    } else {
        setMode(NativeOnly);
    }
    updateSaveButtons();
    emit graphParametersChanged();
}

void NativeForm::onDynamicGroupToggled(bool on)
{
    if (on) {
        if (nativeOn() && m_nativeRay->value() == 0) {
            {
                const QSignalBlocker blocker(m_dynamicGroup);
                m_dynamicGroup->setChecked(false);
            }
            m_dynamicContent->setVisible(false);
            emit dynamicNeedsSingleBeam();
            return;
        }
        if (nativeOn() && m_nativeChannel->value() > 0) {
            const QSignalBlocker blocker(m_nativeChannel);
            m_nativeChannel->setValue(0);
        }
        m_dynamicContent->setVisible(true);
        if (graph2On())
            m_graph2Group->setChecked(false);
        if (nativeOn()) {
            copyNativeToDynamic();
            setMode(Paired);
            emit nativeDynamicPairingStarted(true);
        } else {
            setMode(DynamicOnly);
        }
    } else {
        m_dynamicContent->setVisible(false);
        setMode(nativeOn() ? NativeOnly : NothingOn);
    }
    emit graphParametersChanged();
}

void NativeForm::onGraph2GroupToggled(bool on)
{
    m_graph2Content->setVisible(on);
    if (on && dynamicOn())
        m_dynamicGroup->setChecked(false);
    emit graphParametersChanged();
}

void NativeForm::onAnimationToggled(bool on)
{
    m_dynamicFirstPoint->setEnabled(!on);
    m_dynamicPoints->setEnabled(!on);
    m_dynamicSaveGraphAll->setEnabled(!on);
    m_dynamicZoomToNative->setEnabled(!on && m_mode == Paired);
    emit dynamicAnimationChanged(on);
}
