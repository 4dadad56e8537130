#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

// The painters need fonts, and fonts need a QGuiApplication (offscreen in the tests).
class GuiAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_app = new QGuiApplication(m_argc, m_argv); }
    void TearDown() override {
        delete m_app;
        m_app = nullptr;
    }

private:
    int m_argc = 1;
    char m_name[12] = "test_report";
    char* m_argv[2] = {m_name, nullptr};
    QGuiApplication* m_app = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new GuiAppEnvironment);

} // namespace
