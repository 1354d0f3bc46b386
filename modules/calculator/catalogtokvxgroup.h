#pragma once

#include "modules/calculator/calculatorgroup.h"
#include "ui_catalogtokvxgroup.h"

// "From catalog to KVX" (catalogtokvxgroup.ui): reads the catalog place, date and site, and shows
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
    Ui::CatalogToKvxGroup m_ui;
    QString m_tresolution;
};
