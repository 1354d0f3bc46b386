#pragma once

#include <QWidget>

class CatalogToKvxGroup;
class FfaGroup;
class KvxToCatalogGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The calculators' input panel: a common block and four collapsible calculator
// groups. Holds no data; publishes result texts (and the period list of the
// FFA group) and font requests by signals to its CalculatorModule. Lives on
// the GUI thread as a child of the module.
class CalculatorForm : public QWidget
{
    Q_OBJECT

public:
    explicit CalculatorForm(QWidget *parent = nullptr);

    void setFontSizeText(int size);

signals:
    void resultFontIncreaseRequested();
    void resultFontDecreaseRequested();
    void resultClearRequested();
    void resultTextChanged(const QString &text);
    // Lines shown under the result text; a new result text hides them.
    void resultListChanged(const QString &lines);

public slots:
    void onGetDeltaFromRayClicked();
    void onClearFormClicked();
    void onDeltaSiteChanged(const QString &site);
    void onTresolutionChanged(const QString &text);

private:
    QWidget *buildCommonGroup();
    QWidget *buildDeltaFromRayGroup();

    QLabel *m_fontSize = nullptr;
    QComboBox *m_tres = nullptr;
    QComboBox *m_deltaSite = nullptr;
    QSpinBox *m_deltaModule = nullptr;
    QSpinBox *m_deltaRay = nullptr;
    QLineEdit *m_deltaText = nullptr;
    QLineEdit *m_deltaDegrees = nullptr;
    QWidget *m_deltaContent = nullptr;
    CatalogToKvxGroup *m_catalogToKvx = nullptr;
    KvxToCatalogGroup *m_kvxToCatalog = nullptr;
    FfaGroup *m_ffa = nullptr;
};
