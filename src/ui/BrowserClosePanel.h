#pragma once

#include <QDialog>
#include <QPointer>

class FourceQuitBrowserView;
class QListWidget;
class QPushButton;

// The browser-close panel: a sheet on the main window that lists the running
// browsers to quit (icon and name) with Close and Retry. It shows the
// FourceQuitBrowserView model it is given and opens and closes with the
// model's sheet; its buttons call the model's closeWindow() and retryAction().
class BrowserClosePanel : public QDialog
{
    Q_OBJECT
public:
    BrowserClosePanel(FourceQuitBrowserView &model, QWidget *window);

    QListWidget *browserList() const { return m_list; }
    QPushButton *closeWindow() const { return m_close; }
    QPushButton *retry() const { return m_retry; }

private:
    void reload();
    void sheetShownChanged(bool shown);

    QPointer<FourceQuitBrowserView> m_model;
    QListWidget *m_list;
    QPushButton *m_close;
    QPushButton *m_retry;
};
