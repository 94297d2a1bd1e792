// Every modal step of the window goes through this interface: the program
// shows real dialogs (TQtDialogs), the tests answer from queues without
// entering a modal loop.
#pragma once

#include <QString>

#include <optional>

class QUrl;
class QFileDialog;
class QWidget;

namespace trisk {

class TSelectCardSetsForm;
class TOptionsForm;

class TDialogs {
  public:
    virtual ~TDialogs() = default;

    // Yes/No question captioned "Solitaire Trisk"; true only for Yes.
    virtual bool AskQuestion(const QString& text) = 0;
    // A plain message with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // The same with the information icon: the internal-fault messages.
    virtual void ShowInformation(const QString& text) = 0;
    // The save dialog with the proposed name; empty when cancelled.
    virtual QString GetSaveFileName(const QString& proposedName) = 0;
    // The open dialog; empty when cancelled.
    virtual QString GetOpenFileName() = 0;
    // The game-over dialog; true for Yes (play again).
    virtual bool ShowGameOver(bool won) = 0;
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

// The real dialogs, owned by and centred on parent. The save and open dialogs
// start in the folder of the file last chosen in either of them during the
// run, else in the user's documents folder, and list files with their type.
class TQtDialogs : public TDialogs {
  public:
    explicit TQtDialogs(QWidget* parent) : parent_(parent) {}

    bool AskQuestion(const QString& text) override;
    void ShowMessage(const QString& text) override;
    void ShowInformation(const QString& text) override;
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

    QWidget* parent_;
    QString lastFolder_;
};

}  // namespace trisk
