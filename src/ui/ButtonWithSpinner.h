#pragma once

#include <QPointer>
#include <QPushButton>

class AppDelegateWindow;
class SpinnerView;

// A push button that shows a small spinning wheel in place of its title while
// the application is busy. The Dashboard's scan and update buttons and the
// Reports page's scan button are of this class. showSpinner() and
// hideSpinner() come in pairs, always on the main thread.
//
// The titles follow the Dashboard: showing the spinner on a button titled
// with a scan kind clears the Dashboard's scan button, on "Check for Updates"
// the Dashboard's update button; hiding it titles both Dashboard buttons
// again ("Scan Now >" until the caller sets the final title).
class ButtonWithSpinner : public QPushButton
{
    Q_OBJECT
public:
    explicit ButtonWithSpinner(const QString &text = QString(), QWidget *parent = nullptr);
    ~ButtonWithSpinner() override;

    void showSpinner();
    void hideSpinner();
    SpinnerView *spinner() const { return m_spinner; }
    QRect originalBounds() const { return m_originalBounds; }

private:
    SpinnerView *buildSpinner();
    AppDelegateWindow *appDel();

    QPointer<AppDelegateWindow> m_appDel;
    SpinnerView *m_spinner = nullptr;
    QRect m_originalBounds;
};
