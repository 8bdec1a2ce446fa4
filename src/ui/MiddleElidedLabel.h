#pragma once

#include <QLabel>

// A one-line label that shortens its text in the middle ("/Users/a/…/x.plist")
// when it does not fit, keeping the full text as its value and tool tip.
class MiddleElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit MiddleElidedLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    QString fullText() const { return m_fullText; }

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elide();

    QString m_fullText;
};
