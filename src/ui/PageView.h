#pragma once

#include <QFrame>

class QLabel;
class QVBoxLayout;

// One of the four pages of the main window. The main window moves pages
// sideways inside its content area, so a page is sized by the window, never
// by a layout of its parent. A page opens with its title; the pages add their
// own controls below it.
class PageView : public QFrame
{
    Q_OBJECT
public:
    PageView(const QString &objectName, const QString &title, QWidget *parent = nullptr);

    QString title() const;

protected:
    QVBoxLayout *body() const { return m_body; }

private:
    QLabel *m_title;
    QVBoxLayout *m_body;
};
