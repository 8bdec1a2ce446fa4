#pragma once

#include "ui/PageView.h"

// The Reports page of the main window (the application object's `reportsObj`):
// the stored scan reports, their details, printing.
// The pages carry the suffix "View": the engine has its own Tools and Reports.
class ReportsView : public PageView
{
    Q_OBJECT
public:
    explicit ReportsView(QWidget *parent = nullptr);
};
