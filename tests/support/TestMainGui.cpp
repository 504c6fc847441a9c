#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/vcl/Forms.h"
#include "platform/vcl/TestHook.h"
#include "tests/support/TestEnvironment.h"

namespace {

// The offscreen platform says so for every window operation it leaves out
// (raising, size hints); nothing else is filtered.
void QuietOffscreenMessages(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    qt_message_output(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    InstallTestEnvironment();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler(QuietOffscreenMessages);
    QApplication app(argc, argv);
    Application->Initialize();
    int result = 0;
    {
        // A message box or modal form that a test did not expect fails
        // that test instead of waiting for a user. Tests state what they
        // expect with a TestHook of their own, which reports the same way.
        TestHook hook([](const AnsiString& message) { ADD_FAILURE() << message; });
        result = RUN_ALL_TESTS();
        Application->DestroyComponents();
    }
    return result;
}
