#include "calculatorform.h"

#include "app/wheelfocusfilter.h"
#include "astro/beamtables.h"
#include "astro/timecoords.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QString resultFieldStyle = QStringLiteral("background-color: #dfffd3;");
const QString inputFieldStyle = QStringLiteral("background-color: #ffffff;");
const QString foundFieldStyle = QStringLiteral("background-color: #98FB98;");

const QStringList siteCodes = {QStringLiteral("N0"), QStringLiteral("N1"), QStringLiteral("N2"),
                               QStringLiteral("N4")};

QLineEdit *lineEdit(const QString &name, const QString &text = QString(), bool readOnly = false)
{
    auto *edit = new QLineEdit(text);
    edit->setObjectName(name);
    edit->setReadOnly(readOnly);
    return edit;
}

QComboBox *siteCombo(const QString &name, const QString &current)
{
    auto *combo = new QComboBox;
    combo->setObjectName(name);
    combo->addItems(siteCodes);
    combo->setCurrentText(current);
    return combo;
}

QPushButton *button(const QString &name, const QString &text)
{
    auto *push = new QPushButton(text);
    push->setObjectName(name);
    return push;
}

QLabel *label(const QString &text)
{
    // One caption width in every group keeps the fields aligned and wide
    // enough for dates and times; long captions wrap instead.
    auto *caption = new QLabel(text);
    caption->setWordWrap(true);
    caption->setFixedWidth(165);
    return caption;
}

bool isStyledInput(const QWidget *widget)
{
    if (widget->objectName().startsWith(QLatin1String("qt_")))
        return false;
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget)
           || qobject_cast<const QAbstractSpinBox *>(widget);
}

bool isReadOnlyInput(const QWidget *widget)
{
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->isReadOnly();
    if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(widget))
        return spin->isReadOnly();
    return false;
}

} // namespace

CalculatorForm::CalculatorForm(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("CalculatorForm"));

    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(10);
    column->addWidget(buildCommonGroup());
    column->addWidget(buildDeltaFromRayGroup());
    column->addWidget(buildCatalogToKvxGroup());
    column->addWidget(buildKvxToCatalogGroup());
    column->addWidget(buildFfaGroup());
    column->addStretch(1);

    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    for (QWidget *widget : findChildren<QWidget *>()) {
        if (isStyledInput(widget) && isReadOnlyInput(widget))
            widget->setStyleSheet(resultFieldStyle);
    }
    WheelFocusFilter::install(this);
    onDeltaSiteChanged(m_deltaSite->currentText());
}

QWidget *CalculatorForm::buildCommonGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Common"));
    group->setObjectName(QStringLiteral("groupBoxMain"));
    auto *grid = new QGridLayout(group);

    QPushButton *increase = button(QStringLiteral("fontIncrease"), QStringLiteral("+"));
    QPushButton *decrease = button(QStringLiteral("fontDecrease"), QStringLiteral("-"));
    increase->setMinimumWidth(56);
    decrease->setMinimumWidth(56);
    auto *fontCaption = new QLabel(QStringLiteral("Font size"));
    fontCaption->setObjectName(QStringLiteral("fontSizeLabel"));
    m_fontSize = new QLabel;
    m_fontSize->setObjectName(QStringLiteral("fontSize"));
    m_tres = new QComboBox;
    m_tres->setObjectName(QStringLiteral("tres"));
    m_tres->addItems({QStringLiteral("0.0124928 "), QStringLiteral("0.0999424"),
                      QStringLiteral("0.003072")});
    m_tres->setCurrentIndex(0);
    QPushButton *clear = button(QStringLiteral("clearForm"), QStringLiteral("Clear form"));

    grid->addWidget(label(QStringLiteral("Tresolution")), 0, 0);
    grid->addWidget(m_tres, 0, 1, 1, 3);
    grid->addWidget(fontCaption, 1, 0);
    grid->addWidget(m_fontSize, 1, 1);
    grid->addWidget(increase, 1, 2);
    grid->addWidget(decrease, 1, 3);
    grid->addWidget(clear, 2, 0, 1, 4);
    grid->setColumnStretch(1, 1);

    connect(increase, &QPushButton::clicked, this, &CalculatorForm::resultFontIncreaseRequested);
    connect(decrease, &QPushButton::clicked, this, &CalculatorForm::resultFontDecreaseRequested);
    connect(clear, &QPushButton::clicked, this, &CalculatorForm::onClearFormClicked);
    return group;
}

QGroupBox *CalculatorForm::makeCalculatorGroup(const QString &title, const QString &boxName,
                                               const QString &contentName, bool checked,
                                               QWidget **content)
{
    auto *group = new QGroupBox(title);
    group->setObjectName(boxName);
    group->setCheckable(true);
    group->setChecked(checked);
    auto *inner = new QWidget;
    inner->setObjectName(contentName);
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(inner);
    inner->setVisible(checked);
    connect(group, &QGroupBox::toggled, inner, &QWidget::setVisible);
    *content = inner;
    return group;
}

QWidget *CalculatorForm::buildDeltaFromRayGroup()
{
    QWidget *content = nullptr;
    QGroupBox *group = makeCalculatorGroup(QStringLiteral("Get delta from ray"),
                                           QStringLiteral("groupBoxDeltaFromRay"),
                                           QStringLiteral("widgetDeltaFromRay"), true, &content);
    m_deltaContent = content;
    auto *grid = new QGridLayout(content);
    grid->setContentsMargins(0, 0, 0, 0);

    m_deltaSite = siteCombo(QStringLiteral("calcdelta_plosh"), QStringLiteral("N1"));
    m_deltaModule = new QSpinBox;
    m_deltaModule->setObjectName(QStringLiteral("calcdelta_module"));
    m_deltaRay = new QSpinBox;
    m_deltaRay->setObjectName(QStringLiteral("calcdelta_ray"));
    m_deltaRay->setRange(0, 8);
    m_deltaRay->setValue(1);
    m_deltaText = lineEdit(QStringLiteral("calcdelta_delta"), QString(), true);
    m_deltaDegrees = lineEdit(QStringLiteral("calcdelta_deltaD"), QString(), true);
    QPushButton *send = button(QStringLiteral("calcdelta_send"), QStringLiteral("Get delta from ray"));

    grid->addWidget(label(QStringLiteral("Plosh")), 0, 0);
    grid->addWidget(m_deltaSite, 0, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Module, ray")), 1, 0);
    grid->addWidget(m_deltaModule, 1, 1);
    grid->addWidget(m_deltaRay, 1, 2);
    grid->addWidget(label(QStringLiteral("KVX delta (string, grad)")), 2, 0);
    grid->addWidget(m_deltaText, 2, 1);
    grid->addWidget(m_deltaDegrees, 2, 2);
    grid->addWidget(send, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    connect(m_deltaSite, &QComboBox::currentTextChanged, this, &CalculatorForm::onDeltaSiteChanged);
    connect(send, &QPushButton::clicked, this, &CalculatorForm::onGetDeltaFromRayClicked);
    return group;
}

QWidget *CalculatorForm::buildCatalogToKvxGroup()
{
    QWidget *content = nullptr;
    QGroupBox *group = makeCalculatorGroup(QStringLiteral("From catalog to KVX"),
                                           QStringLiteral("groupBoxCat2Kvx"),
                                           QStringLiteral("widgetCat2Kvx"), false, &content);
    auto *grid = new QGridLayout(content);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *points = new QLabel(QStringLiteral("points"));
    points->setObjectName(QStringLiteral("cat2kvx_labelPoints"));
    QPushButton *send = button(QStringLiteral("cat2kvx_send"), QStringLiteral("From catalog to KVX"));

    grid->addWidget(label(QStringLiteral("Catalog 2000: alfa, delta")), 0, 0);
    grid->addWidget(lineEdit(QStringLiteral("cat2kvx_alfa"), QStringLiteral("03:23:27")), 0, 1);
    grid->addWidget(lineEdit(QStringLiteral("cat2kvx_delta"), QStringLiteral("39:44:52")), 0, 2);
    grid->addWidget(label(QStringLiteral("KVX date, plosh")), 1, 0);
    grid->addWidget(lineEdit(QStringLiteral("cat2kvx_date"), QStringLiteral("01.04.2015")), 1, 1);
    grid->addWidget(siteCombo(QStringLiteral("cat2kvx_plosh"), QStringLiteral("N1")), 1, 2);
    grid->addWidget(label(QStringLiteral("Pnt/pnthr file name")), 2, 0);
    grid->addWidget(lineEdit(QStringLiteral("cat2kvx_fileName"), QString(), true), 2, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("KVX time, sec from hour")), 3, 0);
    grid->addWidget(lineEdit(QStringLiteral("cat2kvx_time"), QString(), true), 3, 1);
    grid->addWidget(lineEdit(QStringLiteral("cat2kvx_sec"), QString(), true), 3, 2);
    grid->addWidget(label(QStringLiteral("Culmination point")), 4, 0);
    grid->addWidget(lineEdit(QStringLiteral("cat2kvx_culmPoint"), QString(), true), 4, 1);
    grid->addWidget(points, 4, 2);
    grid->addWidget(send, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    connect(send, &QPushButton::clicked, this,
            [this] { reportNotAvailable(QStringLiteral("From catalog to KVX")); });
    return group;
}

QWidget *CalculatorForm::buildKvxToCatalogGroup()
{
    QWidget *content = nullptr;
    QGroupBox *group = makeCalculatorGroup(QStringLiteral("From KVX to catalog"),
                                           QStringLiteral("groupBoxKvx2Cat"),
                                           QStringLiteral("widgetKvx2Cat"), false, &content);
    auto *grid = new QGridLayout(content);
    grid->setContentsMargins(0, 0, 0, 0);
    QPushButton *send = button(QStringLiteral("kvx2cat_send"), QStringLiteral("From KVX to catalog"));

    grid->addWidget(label(QStringLiteral("KVX date, time")), 0, 0);
    grid->addWidget(lineEdit(QStringLiteral("kvx2cat_date"), QStringLiteral("01.04.2015")), 0, 1);
    grid->addWidget(lineEdit(QStringLiteral("kvx2cat_time"), QStringLiteral("12:13:20.66")), 0, 2);
    grid->addWidget(label(QStringLiteral("Point number (bounds with time: points = sec / tres)")),
                    1, 0);
    grid->addWidget(lineEdit(QStringLiteral("kvx2cat_culmPoint"), QStringLiteral("64090")), 1, 1,
                    1, 2);
    grid->addWidget(label(QStringLiteral("KVX delta")), 2, 0);
    grid->addWidget(lineEdit(QStringLiteral("kvx2cat_deltaKvx")), 2, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Pulsar name")), 3, 0);
    grid->addWidget(lineEdit(QStringLiteral("kvx2cat_pulsarName"), QString(), true), 3, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Coords 2000: alfa, delta")), 4, 0);
    grid->addWidget(lineEdit(QStringLiteral("kvx2cat_alfa"), QString(), true), 4, 1);
    grid->addWidget(lineEdit(QStringLiteral("kvx2cat_delta"), QString(), true), 4, 2);
    grid->addWidget(label(QStringLiteral("Coords 2000: alfa (Zuld)")), 5, 0);
    grid->addWidget(lineEdit(QStringLiteral("kvx2cat_alfaZuld"), QString(), true), 5, 1, 1, 2);
    grid->addWidget(send, 6, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    connect(send, &QPushButton::clicked, this,
            [this] { reportNotAvailable(QStringLiteral("From KVX to catalog")); });
    return group;
}

QWidget *CalculatorForm::buildFfaGroup()
{
    QWidget *content = nullptr;
    QGroupBox *group = makeCalculatorGroup(QStringLiteral("FFA info"), QStringLiteral("groupBoxFfa"),
                                           QStringLiteral("widgetFfa"), false, &content);
    auto *grid = new QGridLayout(content);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *tres = new QComboBox;
    tres->setObjectName(QStringLiteral("ffa_tres"));
    tres->addItems({QStringLiteral("0.0124928"), QStringLiteral("0.0999424"),
                    QStringLiteral("0.003072")});
    auto *bound = new QCheckBox(QStringLiteral("bound with bin"));
    bound->setObjectName(QStringLiteral("ffa_boundPeriodBin"));
    QPushButton *info = button(QStringLiteral("ffa_show_info"), QStringLiteral("Show info"));
    QPushButton *periods = button(QStringLiteral("ffa_show_periods"), QStringLiteral("Show periods"));

    grid->addWidget(label(QStringLiteral("Points in signal, tres ")), 0, 0);
    grid->addWidget(lineEdit(QStringLiteral("ffa_poins"), QStringLiteral("16384")), 0, 1);
    grid->addWidget(tres, 0, 2);
    grid->addWidget(label(QStringLiteral("Ducy_max, wtsp")), 1, 0);
    grid->addWidget(lineEdit(QStringLiteral("ffa_ducy_max"), QStringLiteral("0.01")), 1, 1);
    grid->addWidget(lineEdit(QStringLiteral("ffa_wtsp"), QStringLiteral("1.5")), 1, 2);
    grid->addWidget(label(QStringLiteral("Bins min/max")), 2, 0);
    grid->addWidget(lineEdit(QStringLiteral("ffa_bin_min"), QStringLiteral("39")), 2, 1);
    grid->addWidget(lineEdit(QStringLiteral("ffa_bin_max"), QStringLiteral("44")), 2, 2);
    grid->addWidget(bound, 3, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Period min/max")), 4, 0);
    grid->addWidget(lineEdit(QStringLiteral("ffa_period_min"), QStringLiteral("1")), 4, 1);
    grid->addWidget(lineEdit(QStringLiteral("ffa_period_max"), QStringLiteral("10.0")), 4, 2);
    grid->addWidget(label(QStringLiteral("Periodogram cols, rows")), 5, 0);
    grid->addWidget(lineEdit(QStringLiteral("ffa_cols"), QString(), true), 5, 1);
    grid->addWidget(lineEdit(QStringLiteral("ffa_rows"), QString(), true), 5, 2);
    grid->addWidget(info, 6, 0, 1, 2);
    grid->addWidget(periods, 6, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    connect(info, &QPushButton::clicked, this,
            [this] { reportNotAvailable(QStringLiteral("FFA info")); });
    connect(periods, &QPushButton::clicked, this,
            [this] { reportNotAvailable(QStringLiteral("FFA info")); });
    return group;
}

void CalculatorForm::setFontSizeText(int size)
{
    m_fontSize->setText(QString::number(size));
}

QPair<int, int> CalculatorForm::moduleRange(const QString &site)
{
    if (site == QLatin1String("N1") || site == QLatin1String("N2"))
        return {1, 6};
    if (site == QLatin1String("N0"))
        return {3, 6};
    return {1, 20};
}

CalculatorForm::DeltaFromRay CalculatorForm::deltaFromRay(const QString &site, int module, int ray)
{
    DeltaFromRay result;
    QString text = QStringLiteral("<p style='color: blue'><b>Calculator: Get delta from ray</b></p>"
                                  "<p>&nbsp;</p>");
    QString errors;
    if (site.isEmpty())
        errors += QStringLiteral("Select plosh in form!<br>");
    if (module < 1)
        errors += QStringLiteral("Select module in form!<br>");
    if (ray < 1)
        errors += QStringLiteral("Select ray in form!<br>");
    if (!errors.isEmpty()) {
        result.report = text + QStringLiteral("<p><b>Error:</b><br>") + errors;
        return result;
    }

    text += QStringLiteral("<p><b>Parameters:</b><p>plosh = <span style='color: green'>%1</span><br>"
                           "module = <span style='color: green'>%2</span><br>"
                           "ray = <span style='color: green'>%3</span>")
                .arg(site.toHtmlEscaped())
                .arg(module)
                .arg(ray);
    const double delta = beamDeclination(module, ray, site);
    if (delta >= -100.0) {
        result.found = true;
        result.delta = delta;
        result.degreesText = formatDegreesText(delta);
        text += QStringLiteral("<p><b>Result:</b><p>delta = <span style='color: blue'>%1</span><br>"
                               "delta = <span style='color: blue'>%2</span>")
                    .arg(result.degreesText.toHtmlEscaped(),
                         QString::number(delta, 'g', QLocale::FloatingPointShortest));
    } else {
        text += QStringLiteral(
            "<p><span style='color: red'>Error:</span> no delta for these module and beam!");
    }
    result.report = text;
    return result;
}

void CalculatorForm::resetInputStyling(QWidget *root)
{
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (isStyledInput(widget))
            widget->setStyleSheet(isReadOnlyInput(widget) ? resultFieldStyle : inputFieldStyle);
    }
}

void CalculatorForm::onGetDeltaFromRayClicked()
{
    resetInputStyling(m_deltaContent);
    const DeltaFromRay result =
        deltaFromRay(m_deltaSite->currentText(), m_deltaModule->value(), m_deltaRay->value());
    if (result.found) {
        m_deltaText->setText(result.degreesText);
        m_deltaDegrees->setText(QString::number(result.delta, 'f', 3));
        m_deltaText->setStyleSheet(foundFieldStyle);
        m_deltaDegrees->setStyleSheet(foundFieldStyle);
    }
    emit resultTextChanged(result.report);
}

void CalculatorForm::onClearFormClicked()
{
    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        if (!edit->objectName().startsWith(QLatin1String("qt_")))
            edit->clear();
    }
    emit resultClearRequested();
}

void CalculatorForm::onDeltaSiteChanged(const QString &site)
{
    const QPair<int, int> range = moduleRange(site);
    m_deltaModule->setRange(range.first, range.second);
}

void CalculatorForm::reportNotAvailable(const QString &calculator)
{
    emit resultTextChanged(
        QStringLiteral("<p style='color: blue'><b>Calculator: %1</b></p><p>&nbsp;</p>"
                       "<p>This calculator is not available yet.</p>")
            .arg(calculator.toHtmlEscaped()));
}
