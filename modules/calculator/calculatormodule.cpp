#include "modules/calculator/calculatormodule.h"

#include "modules/calculator/calculatorform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QVBoxLayout>

CalculatorModule::CalculatorModule(QWidget *parent)
    : QWidget(parent)
{
    m_form = new CalculatorForm(this);
    m_form->setFixedWidth(505);
    m_form->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    m_result = new QLabel(helpText());
    m_result->setTextFormat(Qt::RichText);
    m_result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto *content = new QWidget;
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(20, 50, 10, 10);
    contentLayout->addWidget(m_result);
    contentLayout->addStretch(1);

    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);

    m_list = new QPlainTextEdit;
    m_list->setObjectName(QStringLiteral("resultList"));
    m_list->setReadOnly(true);
    m_list->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Columns of digits line up only in a fixed-pitch font.
    QFont fixedPitch(QStringLiteral("monospace"));
    fixedPitch.setStyleHint(QFont::TypeWriter);
    m_list->setFont(fixedPitch);
    m_list->hide();

    auto *results = new QVBoxLayout;
    results->setContentsMargins(0, 0, 0, 0);
    results->addWidget(scroll, 1);
    results->addWidget(m_list, 3);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    layout->addWidget(m_form, 0);
    layout->addLayout(results, 1);

    changeResultFontSize(0);

    connect(m_form, &CalculatorForm::resultFontIncreaseRequested, this,
            [this] { changeResultFontSize(1); });
    connect(m_form, &CalculatorForm::resultFontDecreaseRequested, this,
            [this] { changeResultFontSize(-1); });
    connect(m_form, &CalculatorForm::resultClearRequested, this, &CalculatorModule::clearResult);
    connect(m_form, &CalculatorForm::resultTextChanged, this, &CalculatorModule::setResultText);
    connect(m_form, &CalculatorForm::resultListChanged, this, &CalculatorModule::setResultList);
}

CalculatorForm *CalculatorModule::form() const
{
    return m_form;
}

QLabel *CalculatorModule::resultLabel() const
{
    return m_result;
}

QPlainTextEdit *CalculatorModule::resultList() const
{
    return m_list;
}

int CalculatorModule::resultFontSize() const
{
    return m_resultFontSize;
}

QString CalculatorModule::helpText()
{
    return QStringLiteral(
        "Введите параметры в калькулятор и нажмите кнопку запуска вычислений."
        "<p>Размер шрифта можно изменить кнопками <b>+</b> и <b>−</b> в общем блоке формы.</p>"
        "<p>Значение <b>tresolution</b> из общего блока используется в калькуляторах, где "
        "разрешение не задано отдельно.</p>"
        "<p>Кнопка <b>Show periods</b> в блоке <b>FFA info</b> выводит периоды и бины "
        "периодограммы. При большом объёме данных формирование текста может занять некоторое "
        "время.</p>");
}

int CalculatorModule::clampedFontSize(int size)
{
    return qBound(minimumFontSize, size, maximumFontSize);
}

void CalculatorModule::changeResultFontSize(int step)
{
    m_resultFontSize = clampedFontSize(m_resultFontSize + step);
    QFont font = m_result->font();
    font.setPointSize(m_resultFontSize);
    m_result->setFont(font);
    QFont listFont = m_list->font();
    listFont.setPointSize(m_resultFontSize);
    m_list->setFont(listFont);
    m_form->setFontSizeText(m_resultFontSize);
}

void CalculatorModule::setResultText(const QString &text)
{
    m_result->setText(text);
    m_list->hide();
    m_list->clear();
}

void CalculatorModule::setResultList(const QString &lines)
{
    m_list->setPlainText(lines);
    m_list->show();
}

void CalculatorModule::clearResult()
{
    setResultText(QString());
}
