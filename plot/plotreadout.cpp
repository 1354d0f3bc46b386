#include "plot/plotreadout.h"

#include "plot/plotnumbers.h"

namespace {

// "Y" for a single descriptor, "Y1", "Y2", ... for several.
QString label(QChar letter, int index, int count)
{
    if (count <= 1)
        return QString(letter);
    return QStringLiteral("%1%2").arg(letter).arg(index + 1);
}

} // namespace

void PlotReadout::reset(int defaultYDecimals)
{
    m_y.clear();
    m_x.clear();
    m_defaultYDecimals = defaultYDecimals;
}

void PlotReadout::setY(const YAxisSpec &axis)
{
    m_y.clear();
    if (axis.name.isEmpty() && axis.title.isEmpty())
        return;
    m_y.append(Descriptor{axis.name, axis.title, axis.formatter,
                          axis.decimals < 0 ? axis.defaultDecimals : axis.decimals});
}

void PlotReadout::addX(const AxisRow &row, int axisDecimals)
{
    Descriptor descriptor{row.name, row.title, row.readoutFormatter, row.readoutDecimals};
    // Without a read-out of its own a row reads out as its ticks are labelled.
    if (!descriptor.formatter && row.tickFormatter && row.readoutDecimals < 0) {
        const std::function<QString(double)> tickFormatter = row.tickFormatter;
        descriptor.formatter = [tickFormatter](double value, int) { return tickFormatter(value); };
    }
    if (descriptor.decimals < 0)
        descriptor.decimals = axisDecimals >= 0 ? axisDecimals : 0;
    m_x.append(descriptor);
}

QString PlotReadout::yText(int descriptor, double y, int sampleIndex) const
{
    if (descriptor < 0 || descriptor >= m_y.size())
        return formatPlotNumber(y, m_defaultYDecimals);
    const Descriptor &d = m_y.at(descriptor);
    return d.formatter ? d.formatter(y, sampleIndex) : formatPlotNumber(y, d.decimals);
}

QString PlotReadout::xText(int row, double x, int sampleIndex) const
{
    if (row < 0 || row >= m_x.size())
        return formatPlotNumber(x, 0);
    const Descriptor &d = m_x.at(row);
    return d.formatter ? d.formatter(x, sampleIndex) : formatPlotNumber(x, d.decimals);
}

QString PlotReadout::cursorText(double x, double y, int sampleIndex) const
{
    QStringList lines;
    if (m_y.isEmpty())
        lines.append(QStringLiteral("Y: y=%1").arg(yText(-1, y, sampleIndex)));
    for (int i = 0; i < m_y.size(); ++i) {
        const QString name = m_y.at(i).name.isEmpty() ? QStringLiteral("y") : m_y.at(i).name;
        lines.append(QStringLiteral("%1: %2=%3")
                         .arg(label(QLatin1Char('Y'), i, m_y.size()), name, yText(i, y, sampleIndex)));
    }
    if (m_x.isEmpty())
        lines.append(QStringLiteral("X: x=%1").arg(xText(-1, x, sampleIndex)));
    for (int i = 0; i < m_x.size(); ++i) {
        const QString name = m_x.at(i).name.isEmpty() ? QStringLiteral("x") : m_x.at(i).name;
        lines.append(QStringLiteral("%1: %2=%3")
                         .arg(label(QLatin1Char('X'), i, m_x.size()), name, xText(i, x, sampleIndex)));
    }
    return lines.join(QLatin1Char('\n'));
}

void PlotReadout::clickValues(double x, int sampleIndex, QStringList *names, QStringList *values) const
{
    if (m_x.isEmpty()) {
        names->append(QStringLiteral("x"));
        values->append(xText(-1, x, sampleIndex));
    }
    for (int i = 0; i < m_x.size(); ++i) {
        names->append(m_x.at(i).name);
        values->append(xText(i, x, sampleIndex));
    }
}

QString PlotReadout::axisTexts() const
{
    QStringList lines;
    const auto describe = [&lines](QChar letter, const QVector<Descriptor> &descriptors) {
        for (int i = 0; i < descriptors.size(); ++i) {
            QStringList parts;
            if (!descriptors.at(i).name.isEmpty())
                parts.append(descriptors.at(i).name);
            if (!descriptors.at(i).title.isEmpty())
                parts.append(descriptors.at(i).title);
            const QString text = label(letter, i, descriptors.size());
            lines.append(parts.isEmpty() ? text : QStringLiteral("%1: %2").arg(text, parts.join(QStringLiteral(", "))));
        }
    };
    describe(QLatin1Char('Y'), m_y);
    describe(QLatin1Char('X'), m_x);
    return lines.join(QLatin1Char('\n'));
}

QVector<bool> PlotReadout::carriedVisibility(const QVector<Descriptor> &fresh, const QVector<Descriptor> &old,
                                             const QVector<bool> &oldVisible)
{
    QVector<bool> visible(fresh.size(), true);
    for (int i = 0; i < fresh.size(); ++i) {
        for (int j = 0; j < old.size() && j < oldVisible.size(); ++j) {
            if (old.at(j).name == fresh.at(i).name && old.at(j).title == fresh.at(i).title) {
                visible[i] = oldVisible.at(j);
                break;
            }
        }
    }
    return visible;
}
