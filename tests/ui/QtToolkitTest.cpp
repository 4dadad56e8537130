#include "QtToolkit.h"
#include "Controls.h"
#include "TestApp.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The name field of Qt's own file dialog, where the user types. (selectFile would go through the
// dialog's file list, which fills in the background.)
QLineEdit* fileNameEdit(QFileDialog* dlg) {
    auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(edit, nullptr);
    return edit;
}

} // namespace

TEST(QtToolkit, FilterBecomesQtNameFilters) {
    struct Row {
        const char* filter;
        QStringList nameFilters;
    } rows[] = {
        {"cgats|*.cgats|txt|*.txt|*|*", {"cgats (*.cgats)", "txt (*.txt)", "* (*)"}},
        {"CIE|*.cie;*.txt|txt|*.txt|*|*", {"CIE (*.cie *.txt)", "txt (*.txt)", "* (*)"}},
        {"spec|*.spec|txt|*.txt|*|*", {"spec (*.spec)", "txt (*.txt)", "* (*)"}},
        {"", {}},
        {"lonely", {}},
        {"all|", {"all (*)"}},
        {"two|*.a; *.b|dangling", {"two (*.a *.b)"}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(QtNameFilters(QString::fromLatin1(r.filter)), r.nameFilters) << r.filter;
}

TEST(QtToolkit, FilterIndexPicksTheEntry) {
    struct Row {
        int filterIndex;
        int position;
    } rows[] = {{0, 0}, {1, 0}, {2, 1}, {3, 2}, {4, 0}, {-1, 0}};
    for (const Row& r : rows)
        EXPECT_EQ(QtFilterPosition(r.filterIndex, 3), r.position) << r.filterIndex;
}

TEST(QtToolkit, CarriageReturnStartsANewLine) {
    EXPECT_EQ(QtMessageText(QStringLiteral("a\rb")), "a\nb");
    EXPECT_EQ(QtMessageText(QStringLiteral("a\r\nb\rc")), "a\nb\nc");
    EXPECT_EQ(QtMessageText(QStringLiteral("plain")), "plain");
}

TEST(QtToolkit, MessageAndErrorBoxes) {
    struct Row {
        const char* name;
        std::function<void(QtToolkit&)> show;
        QString title;
        QMessageBox::Icon icon;
        QString text;
    } rows[] = {
        {"message", [](QtToolkit& t) { t.ShowMessage(QStringLiteral("a\rb")); },
         ApplicationTitle(QCoreApplication::applicationFilePath()), QMessageBox::NoIcon, "a\nb"},
        {"error", [](QtToolkit& t) { t.ShowError(QStringLiteral("<b>x</b>.")); }, "Error",
         QMessageBox::Critical, "<b>x</b>."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QtToolkit toolkit;
        bool seen = false;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->windowTitle(), r.title);
            EXPECT_EQ(box->icon(), r.icon);
            EXPECT_EQ(box->text(), r.text);
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            ASSERT_EQ(box->buttons().size(), 1);
            EXPECT_EQ(box->standardButton(box->buttons().first()), QMessageBox::Ok);
            box->buttons().first()->click();
        });
        r.show(toolkit);
        EXPECT_TRUE(seen);
    }
    EXPECT_EQ(ApplicationTitle(QCoreApplication::applicationFilePath()), "test_ui");
}

TEST(QtToolkit, SaveDialogAppendsDefaultExtension) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtToolkit toolkit;
    SaveDialog dialog{QStringLiteral("spec|*.spec|txt|*.txt|*|*"), 0, QDir(dir.path()).filePath("CGATS"),
                      QStringLiteral("spec"), ofOverwritePrompt | ofHideReadOnly | ofEnableSizing};
    whenModal([&](QWidget* modal) {
        auto* dlg = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dlg->nameFilters(), QStringList({"spec (*.spec)", "txt (*.txt)", "* (*)"}));
        EXPECT_EQ(dlg->selectedNameFilter(), "spec (*.spec)");
        EXPECT_FALSE(dlg->testOption(QFileDialog::DontConfirmOverwrite));
        // The offered name, then the user types another one without extension.
        EXPECT_EQ(dlg->directory().absolutePath(), QDir(dir.path()).absolutePath());
        EXPECT_EQ(fileNameEdit(dlg)->text(), "CGATS");
        fileNameEdit(dlg)->setText(QStringLiteral("result"));
        static_cast<QDialog*>(dlg)->accept(); // QFileDialog::accept, as the Save button does
    });
    ASSERT_TRUE(toolkit.ExecuteSave(dialog));
    EXPECT_EQ(dialog.FileName, ShownPath(QDir(dir.path()).filePath("result.spec")));
}

TEST(QtToolkit, OverwritePromptFollowsTheOption) {
    for (unsigned options : {unsigned(ofOverwritePrompt), 0u}) {
        QtToolkit toolkit;
        SaveDialog dialog{QStringLiteral("txt|*.txt"), 1, QString(), QStringLiteral("txt"), options};
        bool confirms = false;
        whenModal([&](QWidget* modal) {
            auto* dlg = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dlg, nullptr);
            confirms = !dlg->testOption(QFileDialog::DontConfirmOverwrite);
            dlg->reject();
        });
        toolkit.ExecuteSave(dialog);
        EXPECT_EQ(confirms, options == ofOverwritePrompt);
    }
}

TEST(QtToolkit, CancelledDialogsLeaveTheFileName) {
    QtToolkit toolkit;
    OpenDialog open{QStringLiteral("CIE|*.cie;*.txt|txt|*.txt|*|*"), 0, QStringLiteral("before")};
    whenModal([&](QWidget* modal) {
        auto* dlg = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dlg->selectedNameFilter(), "CIE (*.cie *.txt)");
        dlg->reject();
    });
    EXPECT_FALSE(toolkit.ExecuteOpen(open));
    EXPECT_EQ(open.FileName, "before");

    SaveDialog save{QStringLiteral("txt|*.txt"), 0, QStringLiteral("CGATS"), QStringLiteral("spec"), 0};
    whenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(toolkit.ExecuteSave(save));
    EXPECT_EQ(save.FileName, "CGATS");
}

TEST(QtToolkit, OpenDialogReturnsTheChosenPath) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = QDir(dir.path()).filePath("chart.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    QtToolkit toolkit;
    OpenDialog open{QStringLiteral("cgats|*.cgats|txt|*.txt|*|*"), 0, QDir(dir.path()).filePath("x")};
    whenModal([&](QWidget* modal) {
        auto* dlg = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->selectedNameFilter(), "cgats (*.cgats)");
        fileNameEdit(dlg)->setText(QStringLiteral("chart.txt"));
        static_cast<QDialog*>(dlg)->accept(); // QFileDialog::accept, as the Save button does
    });
    ASSERT_TRUE(toolkit.ExecuteOpen(open));
    EXPECT_EQ(open.FileName, ShownPath(path));
}
