#pragma once

#include <QPointer>
#include <QWidget>

class AccessController;
class AppDelegateWindow;
class Platform;
class QPushButton;

// The first-launch access window, shown while the home folder cannot be read.
// Its Confirm button runs the folder chooser (only the home folder, "/Users"
// or the volume root are accepted) and stores the grant; once the grant opens,
// the delegate replaces this window by the main interface. Its quit button,
// and closing it, quit the application: it is then the only window.
class NotAccessWindow : public QWidget
{
    Q_OBJECT
public:
    // Wait between a stored grant and the main interface (0.2 s to open the
    // grant and 0.2 s more), shortened by UiTiming in tests.
    static constexpr int kOpenDelayMilliseconds = 400;
    static constexpr int kWidth = 520;

    NotAccessWindow(AccessController &access, Platform &platform, QWidget *parent = nullptr);

    void setDelegate(AppDelegateWindow *delegate) { m_delegate = delegate; }
    AppDelegateWindow *delegate() const { return m_delegate; }
    QPushButton *closeApp() const { return m_closeApp; }
    QPushButton *confirmAccess() const { return m_confirmAccess; }

    void confirmAccessAction();
    void closeAppAction();
    // Closes and deletes the window without quitting (the main interface
    // takes its place).
    void dismiss();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    AccessController &m_access;
    QPointer<AppDelegateWindow> m_delegate;
    QPushButton *m_closeApp;
    QPushButton *m_confirmAccess;
    bool m_dismissed = false;
};
