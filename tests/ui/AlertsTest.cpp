#include "ui/AppDelegateWindow.h"
#include "ui/FolderChooser.h"
#include "ui/QtAlertPresenter.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// Answers the next modal dialog as soon as it is shown: the test plays the
// person, so nothing waits.
template<typename Dialog>
void whenShown(std::function<void(Dialog *)> answer)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        answer(dialog);
    });
    poll->start();
}
} // namespace

TEST(Alerts, TheQuestionAnswersYesForReturnAndNoForEscape)
{
    whenShown<QMessageBox>([](QMessageBox *alert) {
        EXPECT_EQ(alert->text(), QStringLiteral("Alert"));
        EXPECT_EQ(alert->informativeText(), QStringLiteral("Remove?"));
        ASSERT_EQ(alert->buttons().size(), 2);
        EXPECT_EQ(alert->defaultButton()->text(), QStringLiteral("Yes"));
        EXPECT_EQ(alert->escapeButton()->text(), QStringLiteral("No"));
        QTest::keyClick(alert, Qt::Key_Return);
    });
    EXPECT_EQ(AppDelegateWindow::createAlertForInformativeText(QStringLiteral("Remove?"), QStringLiteral("Alert"), nullptr),
              AppDelegateWindow::AlertFirstButtonReturn);

    whenShown<QMessageBox>([](QMessageBox *alert) { QTest::keyClick(alert, Qt::Key_Escape); });
    EXPECT_EQ(AppDelegateWindow::createAlertForInformativeText(QStringLiteral("Remove?"), QStringLiteral("Alert"), nullptr),
              AppDelegateWindow::AlertSecondButtonReturn);
}

TEST(Alerts, TheInformationAlertHasOneOkButtonAndASheetDoesNotWait)
{
    whenShown<QMessageBox>([](QMessageBox *alert) {
        ASSERT_EQ(alert->buttons().size(), 1);
        EXPECT_EQ(alert->standardButton(alert->buttons().first()), QMessageBox::Ok);
        EXPECT_EQ(alert->windowModality(), Qt::ApplicationModal);
        QTest::keyClick(alert, Qt::Key_Return);
    });
    AppDelegateWindow::createAlertForInformativeText(QStringLiteral("Done"), QStringLiteral("Alert"), false, nullptr);

    QWidget window;
    window.show();
    AppDelegateWindow::createAlertForInformativeText(QStringLiteral("Done"), QStringLiteral("Alert"), true, &window);
    auto *sheet = window.findChild<QMessageBox *>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    sheet->accept();
}

TEST(Alerts, ButtonTitlesTakeTextColourSizeAndAlignment)
{
    QPushButton button;
    AppDelegateWindow::setTextTo(&button, QStringLiteral("Scheduler"), QColor(57, 131, 251), 11.5, Qt::AlignLeft);
    EXPECT_EQ(button.text(), QStringLiteral("Scheduler"));
    EXPECT_EQ(button.palette().color(QPalette::ButtonText), QColor(57, 131, 251));
    EXPECT_DOUBLE_EQ(button.font().pointSizeF(), 11.5);
    EXPECT_EQ(button.property("titleAlignment").toInt(), int(Qt::AlignLeft));
}

TEST(Alerts, TheRealPresenterAsksWithMessageBoxes)
{
    QtAlertPresenter presenter;
    whenShown<QMessageBox>([](QMessageBox *alert) { QTest::keyClick(alert, Qt::Key_Return); });
    EXPECT_TRUE(presenter.askYesNo(QStringLiteral("Sure?"), QStringLiteral("Alert")));

    whenShown<QMessageBox>([](QMessageBox *alert) {
        ASSERT_EQ(alert->buttons().size(), 2);
        for (QAbstractButton *button : alert->buttons()) {
            if (button->text() == QLatin1String("Confirm Access"))
                button->click();
        }
    });
    EXPECT_EQ(presenter.ask(QStringLiteral("Access Alert"), QStringLiteral("text"),
                            {QStringLiteral("Continue"), QStringLiteral("Confirm Access")}),
              1);
}

TEST(Alerts, AThreeButtonAlertAnswersTheFirstForReturnAndTheNamedOneForEscape)
{
    const QStringList buttons{QStringLiteral("Ignore"), QStringLiteral("Remove"), QStringLiteral("Remind Me Later")};
    QtAlertPresenter presenter;
    whenShown<QMessageBox>([](QMessageBox *alert) {
        EXPECT_EQ(alert->text(), QStringLiteral("Alert"));
        EXPECT_EQ(alert->informativeText(), QStringLiteral("Potential threat detected"));
        EXPECT_EQ(alert->defaultButton()->text(), QStringLiteral("Ignore"));
        QTest::keyClick(alert, Qt::Key_Escape);
    });
    EXPECT_EQ(presenter.ask(QStringLiteral("Alert"), QStringLiteral("Potential threat detected"), buttons, 2), 2);

    whenShown<QMessageBox>([](QMessageBox *alert) { QTest::keyClick(alert, Qt::Key_Return); });
    EXPECT_EQ(presenter.ask(QStringLiteral("Alert"), QStringLiteral("Potential threat detected"), buttons, 2), 0);

    whenShown<QMessageBox>([](QMessageBox *alert) {
        for (QAbstractButton *button : alert->buttons()) {
            if (button->text() == QLatin1String("Remove"))
                button->click();
        }
    });
    EXPECT_EQ(presenter.ask(QStringLiteral("Alert"), QStringLiteral("Potential threat detected"), buttons, 2), 1);
}

TEST(Alerts, TheChooserStaysOpenForARefusedFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("good")));
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("bad")));
    const QString good = root.filePath(QStringLiteral("good"));
    const QString bad = root.filePath(QStringLiteral("bad"));
    QStringList validated;
    AlertPresenter::FolderRequest request{QStringLiteral("Confirm Access"),
                                          QStringLiteral("Give access for scanning in your HardDisk"), root.path(),
                                          [&](const QString &folder) {
                                              validated.append(folder);
                                              return folder == good;
                                          }};
    QtAlertPresenter presenter;
    whenShown<FolderChooser>([&](FolderChooser *chooser) {
        EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Give access for scanning in your HardDisk"));
        EXPECT_EQ(chooser->labelText(QFileDialog::Accept), QStringLiteral("Confirm Access"));
        EXPECT_EQ(chooser->fileMode(), QFileDialog::Directory);
        chooser->selectFile(bad);
        chooser->accept();
        EXPECT_TRUE(chooser->isVisible());
        chooser->selectFile(good);
        chooser->accept();
    });
    EXPECT_EQ(presenter.chooseFolder(request), std::optional<QString>(good));
    EXPECT_EQ(validated, (QStringList{bad, good}));

    whenShown<FolderChooser>([](FolderChooser *chooser) { chooser->reject(); });
    EXPECT_EQ(presenter.chooseFolder(request), std::nullopt);
}
