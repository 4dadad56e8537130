#include "TestApp.h"

#include "Application.h"
#include "LinePane.h"

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// One QApplication for the whole test program, made before the first test and gone after the last.
class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Qt's own dialogs, which tests can find and answer; a native one (Windows) would hang them.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        m_app = MakeApplication(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[8] = "test_ui";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

} // namespace

void whenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && ++*tries < 500)
            return;
        timer->stop();
        timer->deleteLater();
        if (!modal)
            return;
        act(modal);
        // A failed check inside act must not leave the test waiting on an open box.
        if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible())
            dialog->reject();
    });
    timer->start(10);
}

// LinePane has no meta-object of its own (no moc here), so qobject_cast cannot tell it apart.
QWidget* paneWidget(const QWidget& window, const char* name) {
    QWidget* pane = window.findChild<QWidget*>(QString::fromLatin1(name));
    return dynamic_cast<LinePane*>(pane) || dynamic_cast<QPlainTextEdit*>(pane) ? pane : nullptr;
}

QString paneText(const QWidget* pane) {
    if (const auto* view = dynamic_cast<const LinePane*>(pane))
        return view->toPlainText();
    return dynamic_cast<const QPlainTextEdit&>(*pane).toPlainText();
}

bool paneReadOnly(const QWidget* pane) {
    if (const auto* view = dynamic_cast<const LinePane*>(pane))
        return view->isReadOnly();
    return dynamic_cast<const QPlainTextEdit&>(*pane).isReadOnly();
}
