// One application object for all widget tests, and a message handler that
// fails a test on any Qt warning outside the known harmless ones.
#include <QApplication>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QStringList kAllowed = {
    QStringLiteral("This plugin does not support"), // offscreen platform
    QStringLiteral("XDG_RUNTIME_DIR"),
    QStringLiteral("QFont::setPointSize"),
};

void handler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    for (const QString& allowed : kAllowed) {
        if (message.contains(allowed))
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
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

const auto* const g_environment = testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
