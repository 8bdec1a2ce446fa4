#include "ui/ReportsView.h"

ReportsView::ReportsView(QWidget *parent)
    : PageView(QStringLiteral("reportsObj"), QStringLiteral("Reports"), parent)
{
}
