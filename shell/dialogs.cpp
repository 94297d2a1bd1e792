#include "shell/dialogs.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "shell/game_number_form.h"
#include "shell/options_form.h"
#include "shell/status_form.h"

namespace trisk {

namespace {
constexpr const char* kAppTitle = "Solitaire Trisk";
}

bool TQtDialogs::AskQuestion(const QString& text) {
    return QMessageBox::question(parent_, kAppTitle, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

void TQtDialogs::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, parent_);
    box.exec();
}

void TQtDialogs::ShowInformation(const QString& text) {
    QMessageBox box(QMessageBox::Information, kAppTitle, text, QMessageBox::Ok, parent_);
    box.exec();
}

QString TQtDialogs::GetSaveFileName(const QString& proposedName) {
    QFileDialog dialog(parent_);
    dialog.setObjectName("sdFileSave");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter("Solitaire Trisk's files (*.kxr)");
    dialog.setDefaultSuffix("kxr");
    // The game asks before overwriting, with its own question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(proposedName);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
}

QString TQtDialogs::GetOpenFileName() {
    QFileDialog dialog(parent_);
    dialog.setObjectName("odFileOpen");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter("Saved games (*.kxr)");
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
}

bool TQtDialogs::ShowGameOver(bool won) {
    TStatusForm dialog(parent_);
    dialog.ShowVerdict(won);
    return dialog.exec() == TStatusForm::ResultYes;
}

std::optional<QString> TQtDialogs::AskGameNumber(const QString& current) {
    TGameNumberForm dialog(parent_);
    dialog.edGameNumber->setText(current);
    dialog.edGameNumber->selectAll();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.edGameNumber->text();
}

bool TQtDialogs::ShowOptions(TOptionsForm& form) {
    // The form is reused: forget where it was last, so that Qt centres it on
    // the main window again.
    form.setAttribute(Qt::WA_Moved, false);
    return form.exec() == QDialog::Accepted;
}

}  // namespace trisk
