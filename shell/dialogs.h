// Every modal step of the window goes through this interface: the program
// shows real dialogs (TQtDialogs), the tests answer from queues without
// entering a modal loop. The messages, the questions and the game-over dialog
// are the game's own (TGameDialogs); the window adds the rest.
#pragma once

#include <QString>

#include <optional>

#include "history/services.h"

class QUrl;
class QFileDialog;
class QWidget;

namespace trisk {

class TSelectCardSetsForm;
class TOptionsForm;

class TDialogs : public TGameDialogs {
  public:
    // The window the dialogs belong to and are centred on.
    virtual void SetOwner(QWidget* owner) = 0;
    // The save dialog with the proposed name; empty when cancelled.
    virtual QString GetSaveFileName(const QString& proposedName) = 0;
    // The open dialog; empty when cancelled.
    virtual QString GetOpenFileName() = 0;
    // The "Select shuffle" dialog filled with the current number: the edit's
    // text when closed with OK, nothing otherwise.
    virtual std::optional<QString> AskGameNumber(const QString& current) = 0;
    // The About dialog of the running program.
    virtual void ShowAbout() = 0;
    // The card-set chooser, shown modally; true when closed with OK.
    virtual bool ShowCardSetChooser(TSelectCardSetsForm& chooser) = 0;
    // Hands an address to the desktop's web browser; failures are not reported.
    virtual void OpenInBrowser(const QUrl& address) = 0;
    // Starts the help viewer on the help file beside the program; returns at
    // once and shows nothing itself.
    virtual void ShowHelpContents() = 0;
    // The Options dialog, filled by the caller, shown modally; true for OK.
    virtual bool ShowOptions(TOptionsForm& form) = 0;
};

// The real dialogs, owned by and centred on their owner. The save and open dialogs
// start in the folder of the file last chosen in either of them during the
// run, else in the user's documents folder, and list files with their type.
class TQtDialogs : public TDialogs {
  public:
    void SetOwner(QWidget* owner) override { parent_ = owner; }

    bool AskQuestion(const std::string& text) override;
    void ShowMessage(const std::string& text, TMessageKind kind) override;
    QString GetSaveFileName(const QString& proposedName) override;
    QString GetOpenFileName() override;
    bool ShowGameOver(bool won) override;
    std::optional<QString> AskGameNumber(const QString& current) override;
    void ShowAbout() override;
    bool ShowCardSetChooser(TSelectCardSetsForm& chooser) override;
    void OpenInBrowser(const QUrl& address) override;
    void ShowHelpContents() override;

    // The folder the next save or open dialog starts in.
    QString StartFolder() const;
    bool ShowOptions(TOptionsForm& form) override;

  private:
    QString Chosen(QFileDialog& dialog);

    QWidget* parent_ = nullptr;
    QString lastFolder_;
};

}  // namespace trisk
