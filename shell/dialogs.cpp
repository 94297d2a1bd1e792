#include "shell/dialogs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTreeView>
#include <QUrl>

#include <algorithm>

#include "shell/about_form.h"
#include "shell/game_number_form.h"
#include "shell/help_launcher.h"
#include "shell/options_form.h"
#include "shell/status_form.h"
#include "table/select_card_sets_form.h"

namespace trisk {

namespace {
constexpr const char* kAppTitle = "Solitaire Trisk";

// Qt's own file dialog (where the desktop offers none) lists the files with
// their size, type and date, in columns wide enough to show them whole, the
// type of a saved game being "File of Solitaire Trisk".
void ShowFileTypes(QFileDialog& dialog) {
    dialog.setViewMode(QFileDialog::Detail);
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view) return;
    const QFontMetrics metrics = view->fontMetrics();
    const QString samples[] = {
        QStringLiteral("1023.9 KiB"),
        QStringLiteral("File of Solitaire Trisk"),
        QLocale::system().toString(QDateTime(QDate(2000, 12, 30), QTime(23, 59)),
                                   QLocale::ShortFormat),
    };
    int column = 1;  // size, type, date modified
    for (const QString& sample : samples) {
        const int width = metrics.horizontalAdvance(sample) + metrics.averageCharWidth() * 4;
        view->header()->resizeSection(column, std::max(view->header()->sectionSize(column), width));
        ++column;
    }
    dialog.resize(dialog.size().expandedTo(QSize(760, 420)));
}

// A window manager shortens a caption that does not fit between the frame's
// icon and buttons. A message box is made at least as wide as its caption in
// the bold face of the desktop's title font (not the program's own face),
// with room for an icon and three buttons of the frame's height. (QMessageBox
// sizes itself from its layout, in which the button row spans the whole
// width.)
void FitCaption(QMessageBox& box) {
    QFont bold = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int frameButton = 2 * metrics.height();
    const int width = metrics.horizontalAdvance(box.windowTitle()) + 4 * frameButton;
    if (auto* buttons = box.findChild<QDialogButtonBox*>()) buttons->setMinimumWidth(width);
}

}  // namespace

bool TQtDialogs::AskQuestion(const std::string& text) {
    QMessageBox box(QMessageBox::Question, kAppTitle, QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    FitCaption(box);
    return box.exec() == QMessageBox::Yes;
}

// Plain failures have no icon; the internal-fault messages the information icon.
void TQtDialogs::ShowMessage(const std::string& text, TMessageKind kind) {
    QMessageBox box(
        kind == TMessageKind::Information ? QMessageBox::Information : QMessageBox::NoIcon,
        kAppTitle, QString::fromStdString(text), QMessageBox::Ok, parent_);
    FitCaption(box);
    box.exec();
}

QString TQtDialogs::StartFolder() const {
    if (!lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir()) return lastFolder_;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// The file the player chose, remembering its folder; empty when cancelled.
QString TQtDialogs::Chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    const QString path = dialog.selectedFiles().first();
    lastFolder_ = QFileInfo(path).absolutePath();
    return path;
}

QString TQtDialogs::GetSaveFileName(const QString& proposedName) {
    QFileDialog dialog(parent_, QString(), StartFolder());
    dialog.setObjectName("sdFileSave");
    ShowFileTypes(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter("Solitaire Trisk's files (*.kxr)");
    dialog.setDefaultSuffix("kxr");
    // The game asks before overwriting, with its own question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(proposedName);
    return Chosen(dialog);
}

QString TQtDialogs::GetOpenFileName() {
    QFileDialog dialog(parent_, QString(), StartFolder());
    dialog.setObjectName("odFileOpen");
    ShowFileTypes(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter("Saved games (*.kxr)");
    return Chosen(dialog);
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

void TQtDialogs::ShowAbout() {
    TAboutForm dialog(parent_, QCoreApplication::applicationFilePath());
    dialog.exec();
}

bool TQtDialogs::ShowCardSetChooser(TSelectCardSetsForm& chooser) {
    return chooser.exec() == QDialog::Accepted;
}

void TQtDialogs::OpenInBrowser(const QUrl& address) {
    QDesktopServices::openUrl(address);
}

void TQtDialogs::ShowHelpContents() {
    trisk::ShowHelpContents();
}

bool TQtDialogs::ShowOptions(TOptionsForm& form) {
    // The form is reused: forget where it was last, so that Qt centres it on
    // the main window again.
    form.setAttribute(Qt::WA_Moved, false);
    return form.exec() == QDialog::Accepted;
}

}  // namespace trisk
