#include "help/help_window.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>

namespace trisk {
namespace {

const char kDefaultTitle[] = "Solitaire Trisk Help";

QString MessagePage(const QString& heading, const QString& text) {
    return QStringLiteral("<html><body><h2>%1</h2><p>%2</p></body></html>")
        .arg(heading.toHtmlEscaped(), text.toHtmlEscaped().replace(u'\n', QLatin1String("<br>")));
}

QString UrlPath(const QUrl& url) {
    return NormalizeChmPath(url.path());
}

}  // namespace

QUrl ChmUrl(const QString& page) {
    QString path = page;
    QString fragment;
    const qsizetype hash = path.indexOf(u'#');
    if (hash >= 0) {
        fragment = path.mid(hash + 1);
        path.truncate(hash);
    }
    QUrl url;
    url.setScheme(QLatin1String(kChmScheme));
    url.setPath(NormalizeChmPath(path));
    if (!fragment.isEmpty()) url.setFragment(fragment);
    return url;
}

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("browser"));
    setOpenLinks(false);
    setOpenExternalLinks(false);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    QUrl url = name;
    if (url.isRelative()) {
        const QUrl base = source().isValid() ? source() : ChmUrl(QStringLiteral("/"));
        url = base.resolved(name);
    }
    if (url.scheme() != QLatin1String(kChmScheme) || !file_) return {};
    QString why;
    const auto bytes = file_->Read(UrlPath(url), &why);
    if (bytes) return *bytes;
    if (type == QTextDocument::HtmlResource) {
        return MessagePage(tr("Page not found"),
                           tr("This page is missing from the help file: %1").arg(UrlPath(url)));
    }
    return {};
}

HelpWindow::HelpWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QLatin1String(kDefaultTitle));

    browser_ = new HelpBrowser(this);
    contents_ = new QTreeWidget(this);
    contents_->setObjectName(QStringLiteral("contentsTree"));
    contents_->setHeaderHidden(true);
    contents_->setColumnCount(1);
    contents_->header()->setStretchLastSection(true);

    auto* splitter = new QSplitter(this);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({290, 670});
    setCentralWidget(splitter);

    auto* toolbar = addToolBar(tr("Navigation"));
    toolbar->setObjectName(QStringLiteral("navigationBar"));
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    back_ = toolbar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"));
    back_->setObjectName(QStringLiteral("backAction"));
    back_->setShortcut(QKeySequence::Back);
    forward_ = toolbar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"));
    forward_->setObjectName(QStringLiteral("forwardAction"));
    forward_->setShortcut(QKeySequence::Forward);
    home_ = toolbar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Home"));
    home_->setObjectName(QStringLiteral("homeAction"));
    home_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    back_->setEnabled(false);
    forward_->setEnabled(false);
    home_->setEnabled(false);

    connect(back_, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward_, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(home_, &QAction::triggered, this, &HelpWindow::ShowHome);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::SelectContentsItem);
    auto open_item = [this](QTreeWidgetItem* item) {
        const QString local = item ? item->data(0, Qt::UserRole).toString() : QString();
        if (!local.isEmpty()) ShowPage(local);
    };
    connect(contents_, &QTreeWidget::itemClicked, this, open_item);
    connect(contents_, &QTreeWidget::itemActivated, this, open_item);

    resize(960, 700);
}

HelpWindow::~HelpWindow() {
    browser_->SetFile(nullptr);
}

bool HelpWindow::OpenFile(const QString& path) {
    path_ = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    browser_->SetFile(nullptr);
    file_.reset();
    error_.clear();

    ChmError error;
    file_ = ChmFile::Open(path, &error);
    if (!file_) {
        switch (error.kind) {
            case ChmError::Kind::kMissing:
                ShowMessage(tr("The help file was not found:\n%1").arg(path_));
                break;
            case ChmError::Kind::kNotChm:
                ShowMessage(tr("This is not a help file:\n%1").arg(path_));
                break;
            default:
                ShowMessage(tr("The help file is damaged and cannot be shown (%1):\n%2")
                                .arg(error.detail, path_));
                break;
        }
        return false;
    }
    browser_->SetFile(file_.get());
    const QString title = file_->Title().trimmed();
    setWindowTitle(title.isEmpty() ? QLatin1String(kDefaultTitle) : title);
    FillContents();
    if (StartPage().isEmpty()) {
        file_.reset();
        browser_->SetFile(nullptr);
        ShowMessage(tr("The help file has no start page:\n%1").arg(path_));
        return false;
    }
    contents_->setVisible(contents_->topLevelItemCount() > 0);
    home_->setEnabled(true);
    ShowHome();
    return true;
}

QString HelpWindow::StartPage() const {
    if (!file_) return {};
    const QString topic = file_->DefaultTopic();
    if (!topic.isEmpty() && file_->Contains(topic)) return topic;
    // No usable default topic: the first page of the contents, or of the file.
    std::vector<const std::vector<ChmContentsItem>*> pending{};
    const auto contents = file_->Contents();
    pending.push_back(&contents);
    while (!pending.empty()) {
        const auto* items = pending.back();
        pending.pop_back();
        for (auto it = items->rbegin(); it != items->rend(); ++it)
            pending.push_back(&it->children);
        for (const auto& item : *items) {
            if (!item.local.isEmpty() && file_->Contains(NormalizeChmPath(item.local))) {
                return item.local;
            }
        }
    }
    for (const QString& page : file_->Files()) {
        if (page.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
            page.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive)) {
            return page;
        }
    }
    return {};
}

void HelpWindow::ShowHome() {
    const QString start = StartPage();
    if (!start.isEmpty()) ShowPage(start);
}

void HelpWindow::ShowPage(const QString& page) {
    if (!file_) return;
    browser_->setSource(ChmUrl(page), QTextDocument::HtmlResource);
}

void HelpWindow::ShowMessage(const QString& message) {
    error_ = message;
    setWindowTitle(QLatin1String(kDefaultTitle));
    contents_->clear();
    contents_->hide();
    home_->setEnabled(false);
    browser_->clearHistory();
    browser_->setHtml(MessagePage(tr("The help cannot be shown"), message));
    back_->setEnabled(false);
    forward_->setEnabled(false);
}

void HelpWindow::FollowLink(const QUrl& link) {
    const QUrl url = link.isRelative() ? browser_->source().resolved(link) : link;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String(kChmScheme)) {
        browser_->setSource(url, QTextDocument::HtmlResource);
    } else if (scheme == QLatin1String("mk") || scheme == QLatin1String("ms-its") ||
               scheme == QLatin1String("its")) {
        // mk:@MSITStore:Help.chm::/page.html names a page of the help file
        QString page = url.toString(QUrl::RemoveScheme);
        ShowPage(page.mid(page.lastIndexOf(QLatin1String("::")) + 2));
    } else if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
               url.isValid() && !url.host().isEmpty()) {
        // Only web pages leave the viewer: a help file's link to a local
        // file or to another program's scheme is never handed to the desktop.
        QDesktopServices::openUrl(url);
    }
}

void HelpWindow::FillContents() {
    contents_->clear();
    const auto contents = file_->Contents();
    struct Pending {
        const std::vector<ChmContentsItem>* items;
        QTreeWidgetItem* parent;
    };
    std::vector<Pending> pending{{&contents, nullptr}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        for (const auto& item : *next.items) {
            auto* node =
                next.parent ? new QTreeWidgetItem(next.parent) : new QTreeWidgetItem(contents_);
            node->setText(0, item.name);
            node->setData(0, Qt::UserRole, item.local);
            if (!item.children.empty()) pending.push_back({&item.children, node});
        }
    }
    contents_->expandAll();
}

void HelpWindow::SelectContentsItem(const QUrl& url) {
    if (url.scheme() != QLatin1String(kChmScheme)) return;
    const QString path = UrlPath(url);
    QTreeWidgetItem* best = nullptr;
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        const QString local = (*it)->data(0, Qt::UserRole).toString();
        if (local.isEmpty() || NormalizeChmPath(local).compare(path, Qt::CaseInsensitive) != 0) {
            continue;
        }
        const QUrl item_url = ChmUrl(local);
        if (item_url.fragment() == url.fragment()) {
            best = *it;
            break;
        }
        if (!best && !item_url.hasFragment()) best = *it;
    }
    if (!best) return;
    const QSignalBlocker blocker(contents_);
    contents_->setCurrentItem(best);
    contents_->scrollToItem(best);
}

void HelpWindow::BringToFront() {
    if (isMinimized()) showNormal();
    show();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

}  // namespace trisk
