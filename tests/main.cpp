// The one test runner: GoogleTest inside a Qt application, headless.
#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    // Numbers must not depend on the machine's settings.
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
