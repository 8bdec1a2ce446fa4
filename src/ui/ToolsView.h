#pragma once

#include "ui/PageView.h"

// The Tools page of the main window (the application object's `toolsObj`):
// the cleanable browser and system data with their sizes.
// The pages carry the suffix "View": the engine has its own Tools and Reports.
class ToolsView : public PageView
{
    Q_OBJECT
public:
    explicit ToolsView(QWidget *parent = nullptr);
};
