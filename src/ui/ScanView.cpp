#include "ui/ScanView.h"

ScanView::ScanView(QWidget *parent)
    : PageView(QStringLiteral("scanObj"), QStringLiteral("Scan"), parent)
{
}
