// The yardstick of the start-up benchmark: a bare Qt Widgets main window of
// the same size, with a menu bar, a toolbar, a status bar and a painted
// green central widget. With
// TRISK_EXIT_AFTER_FIRST_PAINT=1 it ends right after its first paint, as
// solitaire-trisk does.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {

class TCanvas : public QWidget {
  public:
    bool ExitAfterFirstPaint = false;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0, 128, 0));
        painter.end();
        if (ExitAfterFirstPaint && !painted_) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        painted_ = true;
    }

  private:
    bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu("Game");
    QToolBar* toolBar = window.addToolBar("Tools");
    toolBar->addAction("New");
    window.statusBar()->showMessage("Game #1");
    auto* canvas = new TCanvas;
    canvas->ExitAfterFirstPaint = qEnvironmentVariableIntValue("TRISK_EXIT_AFTER_FIRST_PAINT") == 1;
    window.setCentralWidget(canvas);
    window.resize(684, 613);
    window.show();
    return QApplication::exec();
}
