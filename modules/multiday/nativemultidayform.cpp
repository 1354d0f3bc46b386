#include "modules/multiday/nativemultidayform.h"

#include "modules/multiday/multidayrules.h"
#include "ui_nativemultidayform.h"

#include <QEvent>
#include <QIntValidator>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTimer>

#include <cmath>

NativeMultiDayForm::NativeMultiDayForm(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::NativeMultiDayForm>())
{
    m_ui->setupUi(this);
    for (int dm = 0; dm <= 1000; ++dm)
        m_ui->comboBoxDispersion->addItem(QString::number(dm), dm);
    m_ui->comboBoxAverageType->setItemData(0, int(AveragingType::Pairwise));
    m_ui->comboBoxAverageType->setItemData(1, int(AveragingType::Moving));
    m_ui->cols->setValidator(new QIntValidator(TableLimits::minColumns, TableLimits::maxColumns, this));
    m_ui->multiWidth->setValidator(new QIntValidator(TableLimits::minWidth, TableLimits::maxWidth, this));
    m_ui->multiHeight->setValidator(new QIntValidator(TableLimits::minHeight, TableLimits::maxHeight, this));
    updateSwatch(m_ui->disp0Color, m_ui->disp0ColorBox);
    updateSwatch(m_ui->dispColor, m_ui->dispColorBox);
    clearSiteFields();

    // The directory box sits on the window's colour, a light grey when that is
    // almost white, so that it reads as text rather than as a field.
    QColor window = palette().color(QPalette::Window);
    if (window.red() > 250 && window.green() > 250 && window.blue() > 250)
        window = QColor(240, 240, 240);
    m_ui->dirNameLayout->setContentsMargins(10, 10, 10, 10);
    m_ui->dirName->setStyleSheet(
        QStringLiteral("QTextEdit { background-color: %1; border: none; }").arg(window.name()));
    installEventFilter(this);
    connectControls();
}

NativeMultiDayForm::~NativeMultiDayForm() = default;

void NativeMultiDayForm::connectControls()
{
    connect(m_ui->comboBoxDispersion, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &NativeMultiDayForm::dataRebuildRequested);
    for (QLineEdit *field : {m_ui->cols, m_ui->multiWidth, m_ui->multiHeight})
        connect(field, &QLineEdit::editingFinished, this, &NativeMultiDayForm::tableRebuildRequested);
    connect(m_ui->drawGrafikOne, &QPushButton::clicked, this, &NativeMultiDayForm::oneGraphRequested);
    connect(m_ui->drawGrafikMulti, &QPushButton::clicked, this, &NativeMultiDayForm::multiGraphsRequested);
    connect(m_ui->saveScreen, &QPushButton::clicked, this, &NativeMultiDayForm::saveScreenRequested);
    connect(m_ui->saveGreenDates, &QPushButton::clicked, this, &NativeMultiDayForm::saveGreenDatesRequested);
    connect(m_ui->clearAllGreen, &QPushButton::clicked, this, &NativeMultiDayForm::clearAllGreenRequested);
    connect(m_ui->writeGreenDates, &QPushButton::clicked, this, &NativeMultiDayForm::writeGreenFilesRequested);

    connectArrows(m_ui->comboBoxDispersion, m_ui->dispPre, m_ui->dispNext);
    connectArrows(m_ui->comboBoxDate, m_ui->datePre, m_ui->dateNext);
    connectArrows(m_ui->comboBoxFile, m_ui->filePre, m_ui->fileNext);
    for (QComboBox *combo : {m_ui->comboBoxDate, m_ui->comboBoxFile})
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [this, combo](int index) { onDayChosen(combo, index); });

    connect(m_ui->disp0Color, &QLineEdit::textChanged, this,
            [this] { updateSwatch(m_ui->disp0Color, m_ui->disp0ColorBox); });
    connect(m_ui->dispColor, &QLineEdit::textChanged, this,
            [this] { updateSwatch(m_ui->dispColor, m_ui->dispColorBox); });

    for (QCheckBox *box : {m_ui->showDisp0, m_ui->showDisp, m_ui->showFileName, m_ui->showDate, m_ui->showMax})
        connect(box, &QCheckBox::toggled, this, &NativeMultiDayForm::graphAppearanceChanged);
    connect(m_ui->deleteStep, &QCheckBox::toggled, this, &NativeMultiDayForm::graphProcessingChanged);
    // The approximation is drawn or subtracted, never both.
    const auto exclusive = [this](QCheckBox *other) {
        return [this, other](bool checked) {
            if (checked) {
                const QSignalBlocker blocker(other);
                other->setChecked(false);
            }
            emit graphProcessingChanged();
        };
    };
    connect(m_ui->showApprox, &QCheckBox::toggled, this, exclusive(m_ui->deductNoise));
    connect(m_ui->deductNoise, &QCheckBox::toggled, this, exclusive(m_ui->showApprox));
    connect(m_ui->len, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &NativeMultiDayForm::graphProcessingChanged);
    connect(m_ui->average, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &NativeMultiDayForm::graphProcessingChanged);
    connect(m_ui->comboBoxAverageType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &NativeMultiDayForm::graphProcessingChanged);
}

void NativeMultiDayForm::connectArrows(QComboBox *combo, QPushButton *previous, QPushButton *next)
{
    const auto step = [combo](int delta) {
        return [combo, delta] {
            if (combo->count() > 0)
                combo->setCurrentIndex(qBound(0, combo->currentIndex() + delta, combo->count() - 1));
        };
    };
    connect(previous, &QPushButton::clicked, combo, step(-1));
    connect(next, &QPushButton::clicked, combo, step(+1));
}

void NativeMultiDayForm::onDayChosen(QComboBox *chosen, int index)
{
    if (index < 0)
        return;
    QComboBox *other = chosen == m_ui->comboBoxDate ? m_ui->comboBoxFile : m_ui->comboBoxDate;
    {
        const QSignalBlocker blocker(other);
        other->setCurrentIndex(index);
    }
    m_currentFilePath = chosen->itemData(index).toString();
    emit observationChanged();
}

void NativeMultiDayForm::updateSwatch(QLineEdit *field, QLabel *swatch)
{
    const QString style = colourSwatchStyle(field->text());
    if (!style.isEmpty())
        swatch->setStyleSheet(style);
}

double NativeMultiDayForm::dispersion() const
{
    return m_ui->comboBoxDispersion->currentData().toDouble();
}

int NativeMultiDayForm::columns() const
{
    return clampedFieldValue(m_ui->cols->text(), TableLimits::minColumns, TableLimits::maxColumns);
}

int NativeMultiDayForm::thumbnailWidth() const
{
    return clampedFieldValue(m_ui->multiWidth->text(), TableLimits::minWidth, TableLimits::maxWidth);
}

int NativeMultiDayForm::thumbnailHeight() const
{
    return clampedFieldValue(m_ui->multiHeight->text(), TableLimits::minHeight, TableLimits::maxHeight);
}

DayGraphSettings NativeMultiDayForm::graphSettings() const
{
    DayGraphSettings settings;
    settings.processing.removeStep = m_ui->deleteStep->isChecked();
    settings.processing.approximationLength = m_ui->len->value();
    settings.processing.showApproximation = m_ui->showApprox->isChecked();
    settings.processing.subtractNoise = m_ui->deductNoise->isChecked();
    settings.processing.averaging = m_ui->average->value();
    settings.processing.averagingType = AveragingType(m_ui->comboBoxAverageType->currentData().toInt());
    settings.dm = dispersion();
    settings.showDm0 = m_ui->showDisp0->isChecked();
    settings.showDm = m_ui->showDisp->isChecked();
    settings.dm0Colour = m_ui->disp0Color->text();
    settings.dmColour = m_ui->dispColor->text();
    settings.showFileName = m_ui->showFileName->isChecked();
    settings.showDate = m_ui->showDate->isChecked();
    settings.showMax = m_ui->showMax->isChecked();
    return settings;
}

void NativeMultiDayForm::selectFile(const QString &path)
{
    m_currentFilePath = path;
    showSelection();
}

void NativeMultiDayForm::setOneGraph(bool oneGraph)
{
    m_oneGraph = oneGraph;
    showSelection();
}

void NativeMultiDayForm::setDays(const QStringList &dates, const QStringList &fileNames, const QStringList &paths)
{
    for (QComboBox *combo : {m_ui->comboBoxDate, m_ui->comboBoxFile}) {
        const QSignalBlocker blocker(combo);
        combo->clear();
        const QStringList &texts = combo == m_ui->comboBoxDate ? dates : fileNames;
        for (int i = 0; i < paths.size(); ++i)
            combo->addItem(texts.value(i), paths.at(i));
    }
    if (!paths.contains(m_currentFilePath))
        m_currentFilePath = paths.value(0);
    showSelection();
}

// In the table neither combo shows a day; with the single graph both show it.
void NativeMultiDayForm::showSelection()
{
    const int index = m_oneGraph ? m_ui->comboBoxFile->findData(m_currentFilePath) : -1;
    for (QComboBox *combo : {m_ui->comboBoxDate, m_ui->comboBoxFile}) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(index);
    }
}

void NativeMultiDayForm::setStatusText(const QString &text)
{
    m_ui->loadedLabel->setText(text);
}

void NativeMultiDayForm::setInfoText(const QString &text)
{
    m_ui->textInfo->setText(text);
}

void NativeMultiDayForm::setSiteFields(const SiteFields &fields)
{
    if (fields.outcome == SiteFields::Outcome::Unchanged)
        return;
    m_ui->tresolution->setText(fields.tresolution);
    m_ui->plosh->setText(fields.plosh);
    // Both fields tell on one colour whether the days agree.
    for (QLineEdit *field : {m_ui->tresolution, m_ui->plosh})
        field->setStyleSheet(fields.tresolutionStyle);
}

void NativeMultiDayForm::clearSiteFields()
{
    for (QLineEdit *field : {m_ui->tresolution, m_ui->plosh}) {
        field->clear();
        field->setStyleSheet(SiteFields::mixedStyle());
    }
}

void NativeMultiDayForm::setDirectory(const QString &path)
{
    m_ui->dirName->setPlainText(path);
    fitDirectoryBox();
}

void NativeMultiDayForm::setLoading(bool loading)
{
    for (QPushButton *button : {m_ui->drawGrafikMulti, m_ui->drawGrafikOne, m_ui->saveGreenDates,
                                m_ui->writeGreenDates, m_ui->clearAllGreen})
        button->setEnabled(!loading);
}

bool NativeMultiDayForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && (event->type() == QEvent::Show || event->type() == QEvent::Resize))
        fitDirectoryBox();
    return QWidget::eventFilter(watched, event);
}

// The box grows with its text up to 180 pixels, then scrolls; the width it
// wraps at is known only once the layout has given the viewport its size.
void NativeMultiDayForm::fitDirectoryBox()
{
    QTextEdit *box = m_ui->dirName;
    const int width = box->viewport()->width();
    if (width < 100) {
        if (isVisible())
            QTimer::singleShot(0, this, &NativeMultiDayForm::fitDirectoryBox);
        return;
    }
    box->document()->setTextWidth(width);
    const int height = std::max(44, int(std::ceil(box->document()->size().height())) + 4);
    const bool tooTall = height > 180;
    box->setVerticalScrollBarPolicy(tooTall ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    box->setFixedHeight(tooTall ? 180 : height);
    m_ui->groupBoxDirName->setFixedHeight(box->height() + 20);
}
