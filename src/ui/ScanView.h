#pragma once

#include "ui/PageView.h"

// The Scan page of the main window (the application object's `scanObj`):
// the findings of the running scan and the outcome of a removal.
// The pages carry the suffix "View": the engine has its own Tools and Reports.
class ScanView : public PageView
{
    Q_OBJECT
public:
    explicit ScanView(QWidget *parent = nullptr);
};
