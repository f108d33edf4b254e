// One application object for all widget tests, and a message handler that
// fails a test on any Qt warning outside the known harmless ones.
#include <QApplication>
#include <QStringList>
#include <memory>
#include <gtest/gtest.h>

namespace {

void handler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    static const QStringList allowed = {
        QStringLiteral("This plugin does not support"), // offscreen platform
        QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("QFont::setPointSize")};
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    for (const QString& harmless : allowed) {
        if (message.contains(harmless))
            return;
    }
    ADD_FAILURE() << "Qt warning: " << message.toStdString();
}

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        qInstallMessageHandler(handler);
        static int argc = 1;
        static char name[] = "gui_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

const auto* const g_environment = testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
