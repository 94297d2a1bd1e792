// The Help menu's commands: the help file, the home page and About.
#include <QUrl>

#include "shell/main_form.h"

namespace trisk {

namespace {

constexpr const char* kHomePage = "https://solitaire-trisk.github.io/";

}  // namespace

void TMainForm::aContentsExecute() {
    // The same start page whatever the game on the table.
    dialogs_.ShowHelpContents();
}

void TMainForm::aAboutExecute() {
    dialogs_.ShowAbout();
}

void TMainForm::aHomepageExecute() {
    dialogs_.OpenInBrowser(QUrl(kHomePage));
}

}  // namespace trisk
