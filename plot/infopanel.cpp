#include "plot/infopanel.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

const QString InfoPanel::idleCoordinatesText = QStringLiteral("Coords: move cursor over the graph...");

namespace {

QFrame *separator(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::NoFrame);
    line->setFixedHeight(1);
    line->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    line->setStyleSheet(QStringLiteral("background-color: palette(mid); border: none;"));
    return line;
}

} // namespace

InfoPanel::InfoPanel(QWidget *parent)
    : QWidget(parent)
{
    m_colorPicker = [](const QColor &initial, QWidget *dialogParent, const QString &title) {
        return QColorDialog::getColor(initial, dialogParent, title);
    };

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll, 1);

    auto *content = new QWidget(scroll);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(10, 15, 10, 10);
    layout->setSpacing(0);

    m_legendSlot = new QVBoxLayout;
    m_legendSlot->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_legendSlot);

    auto *buttons = new QVBoxLayout;
    buttons->setContentsMargins(0, 16, 0, 0);
    buttons->setSpacing(8);
    m_allButtonsRow = new QWidget(content);
    auto *allRow = new QHBoxLayout(m_allButtonsRow);
    allRow->setContentsMargins(0, 0, 0, 0);
    allRow->setSpacing(8);
    auto *disableAll = new QPushButton(QStringLiteral("Disable all"), m_allButtonsRow);
    auto *enableAll = new QPushButton(QStringLiteral("Enable all"), m_allButtonsRow);
    disableAll->setObjectName(QStringLiteral("legendDisableAll"));
    enableAll->setObjectName(QStringLiteral("legendEnableAll"));
    disableAll->setMinimumHeight(30);
    enableAll->setMinimumHeight(30);
    allRow->addWidget(disableAll);
    allRow->addWidget(enableAll);
    m_allButtonsRow->hide();
    buttons->addWidget(m_allButtonsRow);
    auto *resetZoom = new QPushButton(QStringLiteral("Reset zoom"), content);
    resetZoom->setObjectName(QStringLiteral("legendResetZoom"));
    resetZoom->setMinimumHeight(30);
    buttons->addWidget(resetZoom);
    layout->addLayout(buttons);

    layout->addSpacing(15);
    layout->addWidget(separator(content));
    layout->addSpacing(15);

    m_axisSlot = new QVBoxLayout;
    m_axisSlot->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_axisSlot);

    layout->addSpacing(15);
    layout->addWidget(separator(content));

    auto *headerSwitch = new QVBoxLayout;
    headerSwitch->setContentsMargins(0, 15, 0, 0);
    m_showHeader = new QCheckBox(QStringLiteral("Show header"), content);
    m_showHeader->setChecked(true);
    headerSwitch->addWidget(m_showHeader);
    layout->addLayout(headerSwitch);
    layout->addSpacing(30);

    m_header = new QLabel(content);
    m_header->setWordWrap(true);
    m_header->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_header->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_header->setTextFormat(Qt::RichText);
    layout->addWidget(m_header);
    layout->addStretch(1);
    scroll->setWidget(content);

    m_coordinates = new QLabel(idleCoordinatesText, this);
    m_coordinates->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(m_coordinates);

    connect(disableAll, &QPushButton::clicked, this, &InfoPanel::onDisableAllLegendClicked);
    connect(enableAll, &QPushButton::clicked, this, &InfoPanel::onEnableAllLegendClicked);
    connect(resetZoom, &QPushButton::clicked, this, &InfoPanel::onResetZoomClicked);
    connect(m_showHeader, &QCheckBox::toggled, this, &InfoPanel::headerVisibilityChanged);
}

QSize InfoPanel::sizeHint() const
{
    return QSize(m_panelWidth, QWidget::sizeHint().height());
}

void InfoPanel::setPanelWidth(int width)
{
    m_panelWidth = qMax(0, width);
    updateGeometry();
}

void InfoPanel::setColorPicker(const ColorPicker &picker)
{
    m_colorPicker = picker;
}

QString InfoPanel::colorText(const QColor &color)
{
    if (!color.isValid())
        return QStringLiteral("000000");
    return color.name(QColor::HexRgb).mid(1).toUpper();
}

QColor InfoPanel::parseColorText(const QString &text)
{
    QString name = text.trimmed();
    if (!name.startsWith(QLatin1Char('#')))
        name.prepend(QLatin1Char('#'));
    if (!QColor::isValidColor(name))
        return QColor();
    return QColor(name);
}

void InfoPanel::styleColorBox(QPushButton *box, const QColor &color)
{
    box->setProperty("legendColor", color);
    // min-height 0 keeps the box inside its 30 px row under the program's 36 px button minimum.
    box->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #404040; min-height: 0px;")
                           .arg(color.name(QColor::HexRgb)));
}

QWidget *InfoPanel::replaceHost(QVBoxLayout *slot, QWidget *oldHost, int spacing)
{
    if (oldHost) {
        slot->removeWidget(oldHost);
        oldHost->hide();
        oldHost->deleteLater();
    }
    auto *host = new QWidget;
    auto *layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return host;
}

QWidget *InfoPanel::createLegendRow(const LegendEntry &entry, QWidget *host)
{
    auto *row = new QWidget(host);
    row->setFixedHeight(30);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    if (entry.index >= 0) {
        auto *check = new QCheckBox(row);
        check->setChecked(entry.checked);
        check->setProperty("legendIndex", entry.index);
        connect(check, &QCheckBox::toggled, this, &InfoPanel::onLegendCheckBoxToggled);
        layout->addWidget(check);
    }
    auto *text = new QLabel(entry.text, row);
    text->setWordWrap(true);
    text->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    layout->addWidget(text, 1);

    auto *box = new QPushButton(row);
    box->setFixedSize(25, 30);
    box->setCursor(Qt::PointingHandCursor);
    box->setToolTip(QStringLiteral("Select graph color"));
    box->setProperty("legendIndex", entry.index);
    box->setProperty("legendColorBox", true);
    styleColorBox(box, entry.color);
    connect(box, &QPushButton::clicked, this, &InfoPanel::onLegendColorBoxClicked);
    layout->addWidget(box);

    auto *edit = new QLineEdit(colorText(entry.color), row);
    edit->setMaxLength(6);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("FFFFFF")) + 28);
    edit->setProperty("legendIndex", entry.index);
    connect(edit, &QLineEdit::textEdited, this, &InfoPanel::onLegendColorEdited);
    connect(edit, &QLineEdit::editingFinished, this, &InfoPanel::onLegendColorEditFinished);
    layout->addWidget(edit);
    return row;
}

void InfoPanel::setLegend(const QVector<LegendEntry> &entries)
{
    m_updating = true;
    m_legendHost = replaceHost(m_legendSlot, m_legendHost, 7);
    m_legendRows.clear();
    m_legend = entries;
    for (const LegendEntry &entry : entries) {
        QWidget *row = createLegendRow(entry, m_legendHost);
        m_legendHost->layout()->addWidget(row);
        m_legendRows.append(row);
    }
    m_legendSlot->addWidget(m_legendHost);
    m_allButtonsRow->setVisible(!entries.isEmpty());
    m_updating = false;
}

void InfoPanel::setAxes(const QVector<AxisEntry> &entries)
{
    m_updating = true;
    m_axisHost = replaceHost(m_axisSlot, m_axisHost, 2);
    m_axisBoxes.clear();
    m_axes = entries;
    for (int i = 0; i < entries.size(); ++i) {
        auto *box = new QCheckBox(entries.at(i).text, m_axisHost);
        box->setChecked(entries.at(i).checked);
        box->setEnabled(entries.at(i).enabled);
        box->setProperty("axisIndex", i);
        m_axes[i].index = i;
        connect(box, &QCheckBox::toggled, this, &InfoPanel::onAxisCheckBoxToggled);
        m_axisHost->layout()->addWidget(box);
        m_axisBoxes.append(box);
    }
    m_axisSlot->addWidget(m_axisHost);
    m_updating = false;
}

void InfoPanel::setHeaderText(const QString &text)
{
    m_header->setText(text);
}

QString InfoPanel::headerRowsHtml(const QVector<HeaderRow> &rows, bool spacerBeforeLast,
                                  const QFontMetrics &metrics)
{
    if (rows.isEmpty())
        return QString();
    int width = 0;
    for (const HeaderRow &row : rows)
        width = qMax(width, metrics.horizontalAdvance(row.caption));
    width += 12;
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\">");
    for (int i = 0; i < rows.size(); ++i) {
        if (spacerBeforeLast && i == rows.size() - 1)
            html += QStringLiteral("<tr><td colspan=\"2\" style=\"height: 1em;\"></td></tr>");
        html += QStringLiteral("<tr><td align=\"left\" valign=\"top\" style=\"min-width: %3px; "
                               "padding-right: 12px; white-space: nowrap;\">%1</td>"
                               "<td align=\"left\" valign=\"top\">%2</td></tr>")
                    .arg(rows.at(i).caption.toHtmlEscaped(), rows.at(i).value.toHtmlEscaped(),
                         QString::number(width));
    }
    html += QStringLiteral("</table>");
    return html;
}

void InfoPanel::setHeaderRows(const QVector<HeaderRow> &rows, bool spacerBeforeLast)
{
    m_header->setText(headerRowsHtml(rows, spacerBeforeLast, m_header->fontMetrics()));
}

QString InfoPanel::headerHtml() const
{
    return m_header->text();
}

void InfoPanel::setCoordinatesText(const QString &text)
{
    m_coordinates->setText(text);
}

QString InfoPanel::coordinatesText() const
{
    return m_coordinates->text();
}

void InfoPanel::clearAll()
{
    setLegend({});
    setAxes({});
    setHeaderText(QString());
    setCoordinatesText(idleCoordinatesText);
}

void InfoPanel::onLegendCheckBoxToggled(bool checked)
{
    if (m_updating || !sender())
        return;
    const int index = sender()->property("legendIndex").toInt();
    for (LegendEntry &entry : m_legend) {
        if (entry.index == index)
            entry.checked = checked;
    }
    emit legendVisibilityChanged(index, checked);
}

QPushButton *InfoPanel::colorBoxBeside(QObject *sibling) const
{
    if (!sibling || !sibling->parent())
        return nullptr;
    const auto buttons = sibling->parent()->findChildren<QPushButton *>(QString(), Qt::FindDirectChildrenOnly);
    for (QPushButton *button : buttons) {
        if (button->property("legendColorBox").toBool())
            return button;
    }
    return nullptr;
}

void InfoPanel::onLegendColorEdited(QString text)
{
    if (m_updating || !sender())
        return;
    const QColor color = parseColorText(text);
    if (!color.isValid())
        return;
    QPushButton *box = colorBoxBeside(sender());
    if (box)
        styleColorBox(box, color);
    const int index = sender()->property("legendIndex").toInt();
    for (LegendEntry &entry : m_legend) {
        if (entry.index == index)
            entry.color = color;
    }
    emit legendColorChanged(index, color);
}

void InfoPanel::onLegendColorEditFinished()
{
    auto *edit = qobject_cast<QLineEdit *>(sender());
    if (!edit)
        return;
    QPushButton *box = colorBoxBeside(edit);
    if (!box)
        return;
    const QColor boxColor = box->property("legendColor").value<QColor>();
    if (!parseColorText(edit->text()).isValid())
        edit->setText(colorText(boxColor));
    styleColorBox(box, boxColor);
}

void InfoPanel::onLegendColorBoxClicked()
{
    auto *box = qobject_cast<QPushButton *>(sender());
    if (!box || !m_colorPicker)
        return;
    const QColor current = box->property("legendColor").value<QColor>();
    const QColor chosen = m_colorPicker(current, this, QStringLiteral("Graph color"));
    if (!chosen.isValid())
        return;
    styleColorBox(box, chosen);
    const auto edits = box->parent()->findChildren<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
    for (QLineEdit *edit : edits)
        edit->setText(colorText(chosen));
    const int index = box->property("legendIndex").toInt();
    for (LegendEntry &entry : m_legend) {
        if (entry.index == index)
            entry.color = chosen;
    }
    emit legendColorChanged(index, chosen);
}

void InfoPanel::onAxisCheckBoxToggled(bool checked)
{
    if (m_updating || !sender())
        return;
    const int index = sender()->property("axisIndex").toInt();
    if (index >= 0 && index < m_axes.size())
        m_axes[index].checked = checked;
    emit axisVisibilityChanged(index, checked);
}

void InfoPanel::setAllLegendChecked(bool checked)
{
    for (QWidget *row : qAsConst(m_legendRows)) {
        const auto boxes = row->findChildren<QCheckBox *>(QString(), Qt::FindDirectChildrenOnly);
        for (QCheckBox *box : boxes) {
            if (box->isChecked() != checked)
                box->setChecked(checked);
        }
    }
}

void InfoPanel::onDisableAllLegendClicked()
{
    setAllLegendChecked(false);
}

void InfoPanel::onEnableAllLegendClicked()
{
    setAllLegendChecked(true);
}

void InfoPanel::onResetZoomClicked()
{
    emit resetZoomRequested();
}
