// Program entry of Solitaire Trisk: builds the application and the main
// window, runs the start-up sequence and the message loop.
#include <QApplication>
#include <QMessageBox>

#include <exception>

#include "menus/vomenus.h"
#include "shell/main_form.h"
#include "shell/xdg_file_association.h"
#include "table/card_set_prefetch.h"
#include "table/resource_module.h"

namespace {

constexpr const char* kAppTitle = "Solitaire Trisk";

void ShowException(const char* what) {
    QMessageBox::critical(nullptr, kAppTitle, QString::fromLocal8Bit(what));
}

// Qt cannot carry an exception through its event loop, so one thrown by an
// event handler is caught here, shown, and ends the program as one that
// reached the entry would.
class TApplication : public QApplication {
  public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            ShowException(error.what());
        } catch (...) {
            ShowException("Unknown exception.");
        }
        exit(0);
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    try {
        QApplication::setApplicationName(kAppTitle);
        QApplication::setOrganizationName("Vemodo");
        // The desktop entry's name: a Wayland compositor finds the window's
        // icon and name through it.
        QGuiApplication::setDesktopFileName(TRISK_APP_ID);
        // The menu painter and its bitmaps live from here to the end of the run.
        trisk::MenusUnitsScope menus;

        // The card set is decoded on a second thread while the window is built.
        // The default card set; FormCreate loads another one when the stored
        // CardSet asks for it.
        trisk::TCardSetPrefetch cardSet = trisk::TCardSetPrefetch::Start(
            trisk::CardSetLibraryPath(), trisk::CardSetSheetName(trisk::TSettings{}.CardSet),
            app.devicePixelRatio());
        trisk::TServices services = trisk::TServices::Platform();
        services.Association = std::make_unique<trisk::TXdgFileAssociation>();
        trisk::TMainForm form(std::move(services));
        form.SetExitAfterFirstPaint(qEnvironmentVariableIntValue("TRISK_EXIT_AFTER_FIRST_PAINT") ==
                                    1);
        QStringList arguments = QApplication::arguments();
        arguments.removeFirst();
        if (!form.FormCreate(arguments, std::move(cardSet))) return 1;
        form.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        ShowException(error.what());
    } catch (...) {
        ShowException("Unknown exception.");
    }
    return 0;
}
