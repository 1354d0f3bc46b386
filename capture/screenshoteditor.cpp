#include "capture/screenshoteditor.h"

#include "capture/arrowitem.h"
#include "capture/capturedialogs.h"
#include "capture/capturegraphicsview.h"
#include "capture/capturerules.h"
#include "capture/numberedcircleitem.h"
#include "ui/imagesave.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr double BackgroundZ = -1000.0;
constexpr double LabelZ = 1000.0;

QPushButton *toolButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setMinimumSize(110, 34);
    button->setAutoDefault(false);
    return button;
}

} // namespace

ScreenshotEditor::ScreenshotEditor(const QImage &image, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(std::make_unique<CaptureDialogs>())
{
    setWindowTitle(QStringLiteral("Screenshot editor"));
    setModal(true);
    resize(1200, 850);

    m_scene = new QGraphicsScene(this);
    m_scene->setSceneRect(QRectF(image.rect()));
    m_background = m_scene->addPixmap(QPixmap::fromImage(image));
    m_background->setZValue(BackgroundZ);

    m_view = new CaptureGraphicsView(m_scene, this);
    m_view->setObjectName(QStringLiteral("captureView"));

    m_addTextButton = toolButton(QStringLiteral("Add text"), QStringLiteral("captureAddText"), this);
    m_arrowButton = toolButton(QStringLiteral("Add arrow"), QStringLiteral("captureAddArrow"), this);
    m_arrowButton->setCheckable(true);
    m_numberingButton = toolButton(QStringLiteral("Numbering"), QStringLiteral("captureNumbering"), this);
    m_numberingButton->setCheckable(true);
    m_deleteButton = toolButton(QStringLiteral("Delete"), QStringLiteral("captureDelete"), this);

    m_fontSizeSpin = new QSpinBox(this);
    m_fontSizeSpin->setObjectName(QStringLiteral("captureFontSize"));
    m_fontSizeSpin->setRange(6, 72);
    m_fontSizeSpin->setValue(12);

    m_colorButton = new QPushButton(this);
    m_colorButton->setObjectName(QStringLiteral("captureColor"));
    m_colorButton->setFixedSize(46, 28);
    m_colorButton->setToolTip(QStringLiteral("Current drawing color"));
    m_colorButton->setAutoDefault(false);
    updateColorButton();

    auto *tools = new QHBoxLayout;
    tools->addStretch();
    tools->addWidget(m_addTextButton);
    tools->addWidget(m_arrowButton);
    tools->addWidget(m_numberingButton);
    tools->addWidget(m_deleteButton);
    tools->addSpacing(15);
    tools->addWidget(new QLabel(QStringLiteral("Font size:"), this));
    tools->addWidget(m_fontSizeSpin);
    tools->addSpacing(15);
    tools->addWidget(new QLabel(QStringLiteral("Color:"), this));
    tools->addWidget(m_colorButton);
    tools->addStretch();

    auto *buttons = new QDialogButtonBox(this);
    buttons->setCenterButtons(true);
    QPushButton *saveButton = buttons->addButton(QStringLiteral("Save"), QDialogButtonBox::ActionRole);
    saveButton->setObjectName(QStringLiteral("captureSave"));
    QPushButton *closeButton = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("captureClose"));
    for (QPushButton *button : {saveButton, closeButton}) {
        button->setMinimumSize(130, 36);
        button->setAutoDefault(false);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_view, 1);
    layout->addWidget(buttons);

    connect(m_addTextButton, &QPushButton::clicked, this, &ScreenshotEditor::addText);
    connect(m_arrowButton, &QPushButton::toggled, this, &ScreenshotEditor::onArrowToggled);
    connect(m_numberingButton, &QPushButton::toggled, this, &ScreenshotEditor::onNumberingToggled);
    connect(m_deleteButton, &QPushButton::clicked, this, [this] {
        leaveModes();
        deleteSelectedItems();
    });
    connect(m_fontSizeSpin, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ScreenshotEditor::setSelectedTextFontSize);
    connect(m_colorButton, &QPushButton::clicked, this, &ScreenshotEditor::chooseCurrentColor);
    connect(m_scene, &QGraphicsScene::selectionChanged, this, &ScreenshotEditor::onSelectionChanged);
    connect(saveButton, &QPushButton::clicked, this, &ScreenshotEditor::saveImage);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *deleteShortcut = new QShortcut(QKeySequence::Delete, this);
    deleteShortcut->setContext(Qt::WindowShortcut);
    connect(deleteShortcut, &QShortcut::activated, this, &ScreenshotEditor::deleteSelectedItems);

    QTimer::singleShot(0, this, [this] {
        const QRectF r = m_scene->sceneRect();
        if (r.width() > 0 && r.height() > 0)
            m_view->fitInView(r, Qt::KeepAspectRatio);
    });
}

ScreenshotEditor::~ScreenshotEditor() = default;

void ScreenshotEditor::setDialogs(std::unique_ptr<CaptureDialogs> dialogs)
{
    if (dialogs)
        m_dialogs = std::move(dialogs);
}

void ScreenshotEditor::leaveModes()
{
    {
        const QSignalBlocker arrowBlocker(m_arrowButton);
        const QSignalBlocker numberingBlocker(m_numberingButton);
        m_arrowButton->setChecked(false);
        m_numberingButton->setChecked(false);
    }
    m_view->leaveModes();
}

void ScreenshotEditor::onArrowToggled(bool on)
{
    if (on)
        addArrow();
    else if (!m_numberingButton->isChecked())
        m_view->leaveModes();
}

void ScreenshotEditor::onNumberingToggled(bool on)
{
    if (on)
        addNumbering();
    else if (!m_arrowButton->isChecked())
        m_view->leaveModes();
}

void ScreenshotEditor::addArrow()
{
    {
        const QSignalBlocker arrowBlocker(m_arrowButton);
        const QSignalBlocker numberingBlocker(m_numberingButton);
        m_numberingButton->setChecked(false);
        m_arrowButton->setChecked(true);
    }
    const QColor color = m_currentColor;
    m_view->enterArrowMode(
        color, [this, color](const QLineF &line) { placeArrow(line, color); },
        [this] { m_arrowButton->setChecked(false); });
}

void ScreenshotEditor::addNumbering()
{
    {
        const QSignalBlocker arrowBlocker(m_arrowButton);
        const QSignalBlocker numberingBlocker(m_numberingButton);
        m_arrowButton->setChecked(false);
        m_numberingButton->setChecked(true);
    }
    const QColor color = m_currentColor;
    m_view->enterNumberingMode(
        color, [this, color](const QPointF &point) { placeCircle(point, color); },
        [this] { m_numberingButton->setChecked(false); });
}

void ScreenshotEditor::placeArrow(const QLineF &line, const QColor &color)
{
    auto *item = new ArrowItem(line, color);
    m_scene->addItem(item);
    m_scene->clearSelection();
    item->setSelected(true);
}

void ScreenshotEditor::placeCircle(const QPointF &point, const QColor &color)
{
    auto *item = new NumberedCircleItem(m_nextNumber++, color);
    item->setZValue(LabelZ);
    item->setPos(point);
    m_scene->addItem(item);
    m_scene->clearSelection();
    item->setSelected(true);
}

void ScreenshotEditor::addText()
{
    leaveModes();
    QString text;
    if (!m_dialogs->askText(this, &text))
        return;
    placeText(text);
}

void ScreenshotEditor::placeText(const QString &text)
{
    if (text.trimmed().isEmpty())
        return;

    auto *item = new QGraphicsTextItem(text);
    QFont font = QApplication::font();
    font.setPointSize(m_fontSizeSpin->value());
    item->setFont(font);
    item->setDefaultTextColor(m_currentColor);
    item->setZValue(LabelZ);
    item->setTextWidth(-1);
    item->setFlag(QGraphicsItem::ItemIsMovable);
    item->setFlag(QGraphicsItem::ItemIsSelectable);

    const QRectF sceneRect = m_scene->sceneRect();
    item->setPos(CaptureRules::centredLabelX(sceneRect, item->boundingRect().width()),
                 sceneRect.top() + 10.0);
    m_scene->addItem(item);
    m_scene->clearSelection();
    item->setSelected(true);
}

void ScreenshotEditor::deleteSelectedItems()
{
    const QList<QGraphicsItem *> selected = m_scene->selectedItems();
    for (QGraphicsItem *item : selected) {
        if (item->zValue() <= BackgroundZ || item == m_background)
            continue;
        m_scene->removeItem(item);
        delete item;
    }
}

void ScreenshotEditor::onSelectionChanged()
{
    const QList<QGraphicsItem *> selected = m_scene->selectedItems();
    for (QGraphicsItem *item : selected) {
        if (auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item)) {
            const QSignalBlocker blocker(m_fontSizeSpin);
            m_fontSizeSpin->setValue(text->font().pointSize());
            return;
        }
    }
}

void ScreenshotEditor::setSelectedTextFontSize(int pointSize)
{
    const QList<QGraphicsItem *> selected = m_scene->selectedItems();
    for (QGraphicsItem *item : selected) {
        if (auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item)) {
            QFont font = text->font();
            font.setPointSize(pointSize);
            text->setFont(font);
            text->setTextWidth(-1);
        }
    }
}

void ScreenshotEditor::chooseCurrentColor()
{
    leaveModes();
    const QColor color = m_dialogs->askColor(this, m_currentColor, QStringLiteral("Drawing color"));
    if (!color.isValid())
        return;
    m_currentColor = color;
    updateColorButton();
}

void ScreenshotEditor::updateColorButton()
{
    // min-height 0 lifts the application's 36 px button minimum off this fixed 46 x 28 swatch.
    m_colorButton->setStyleSheet(
        QStringLiteral("QPushButton { min-height: 0px; background-color: %1; border: 1px solid #555555; }")
            .arg(m_currentColor.name()));
}

QImage ScreenshotEditor::renderImage()
{
    m_scene->clearSelection();
    const QList<QGraphicsItem *> items = m_scene->items();
    for (QGraphicsItem *item : items) {
        if (auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item))
            text->setTextWidth(-1);
    }

    const QRectF sceneRect = m_scene->sceneRect();
    const QSize size(qRound(sceneRect.width()), qRound(sceneRect.height()));
    if (size.isEmpty())
        return QImage();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    m_scene->render(&painter, QRectF(image.rect()), sceneRect);
    painter.end();
    return image;
}

void ScreenshotEditor::saveImage()
{
    leaveModes();
    saveImageAs(*m_dialogs, this, CaptureRules::defaultImageName(QDateTime::currentDateTime()),
                [this] { return renderImage(); });
}
