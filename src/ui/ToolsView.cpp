#include "ui/ToolsView.h"

ToolsView::ToolsView(QWidget *parent)
    : PageView(QStringLiteral("toolsObj"), QStringLiteral("Tools"), parent)
{
}
