// Runs every test class of the menus library inside one QApplication; without
// a display the offscreen platform is used.
#include <QApplication>
#include <QtTest>

#include <memory>
#include <vector>

namespace trisk::test {
std::unique_ptr<QObject> MakeUtilsTest();
std::unique_ptr<QObject> MakeVoMenuTest();
std::unique_ptr<QObject> MakeRenderTest();
}  // namespace trisk::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    std::vector<std::unique_ptr<QObject>> tests;
    tests.push_back(trisk::test::MakeUtilsTest());
    tests.push_back(trisk::test::MakeVoMenuTest());
    tests.push_back(trisk::test::MakeRenderTest());
    int failed = 0;
    for (const auto& test : tests)
        failed += QTest::qExec(test.get(), argc, argv);
    return failed == 0 ? 0 : 1;
}
