#pragma once

#include "modules/calculator/calculatorgroup.h"

class QComboBox;
class QLineEdit;

// "From catalog to KVX": reads the catalog place, date and site, and shows
// the first crossing of the beam meridian in its result fields and every
// crossing in the report. The sample interval comes from the form's common
// block through setTresolution. GUI thread.
class CatalogToKvxGroup : public CalculatorGroup
{
    Q_OBJECT

public:
    explicit CatalogToKvxGroup(QWidget *parent = nullptr);

    void setTresolution(const QString &text);

public slots:
    void onSendClicked();

private:
    QLineEdit *m_alpha = nullptr;
    QLineEdit *m_delta = nullptr;
    QLineEdit *m_date = nullptr;
    QComboBox *m_plosh = nullptr;
    QLineEdit *m_fileName = nullptr;
    QLineEdit *m_time = nullptr;
    QLineEdit *m_seconds = nullptr;
    QLineEdit *m_point = nullptr;
    QString m_tresolution;
};
