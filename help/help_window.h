// The help viewer's window: the contents of "Help.chm" as a tree on the left,
// the pages in a QTextBrowser on the right, Back, Forward and Home in a
// toolbar. Pages, pictures and style sheets come out of the help file through
// ChmFile; links between pages are followed inside the window, links to the
// web (http and https only) go to the desktop's browser, and any other link is
// ignored. A help file that is missing or cannot be
// read is reported in the window itself.
#pragma once

#include <QMainWindow>
#include <QTextBrowser>
#include <QUrl>

#include <memory>

#include "help/chm_reader.h"

class QAction;
class QTreeWidget;
class QTreeWidgetItem;

namespace trisk {

// Pages of the help file are addressed as chm:/path.html.
inline constexpr char kChmScheme[] = "chm";
QUrl ChmUrl(const QString& path);

class HelpBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    explicit HelpBrowser(QWidget* parent = nullptr);
    void SetFile(const ChmFile* file) { file_ = file; }
    QVariant loadResource(int type, const QUrl& name) override;

  private:
    const ChmFile* file_ = nullptr;
};

class HelpWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Opens a help file and shows its start page; false, with the message
    // shown in the window and kept in ErrorMessage(), when it cannot.
    bool OpenFile(const QString& path);
    QString ErrorMessage() const { return error_; }
    const ChmFile* File() const { return file_.get(); }

    // A page of the help file, "/rules.html" or "rules.html#stock".
    void ShowPage(const QString& page);
    void ShowHome();
    void BringToFront();

    HelpBrowser* Browser() const { return browser_; }
    QTreeWidget* ContentsTree() const { return contents_; }
    QAction* BackAction() const { return back_; }
    QAction* ForwardAction() const { return forward_; }
    QAction* HomeAction() const { return home_; }

  private:
    void ShowMessage(const QString& message);
    void FollowLink(const QUrl& link);
    void FillContents();
    void SelectContentsItem(const QUrl& url);
    QString StartPage() const;

    std::unique_ptr<ChmFile> file_;
    QString path_;
    QString error_;
    HelpBrowser* browser_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QAction* back_ = nullptr;
    QAction* forward_ = nullptr;
    QAction* home_ = nullptr;
};

}  // namespace trisk
