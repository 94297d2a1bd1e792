// The Help menu's About and home-page commands.
#include <QUrl>

#include "shell/main_form.h"

namespace trisk {

namespace {

constexpr const char* kHomePage = "https://solitaire-trisk.github.io/";

}  // namespace

void TMainForm::aAboutExecute() {
    dialogs_->ShowAbout();
}

void TMainForm::aHomepageExecute() {
    dialogs_->OpenInBrowser(QUrl(kHomePage));
}

}  // namespace trisk
