#include "table/select_card_sets_form.h"

#include <QFrame>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>

#include <memory>
#include <optional>

#include "table/card_images.h"
#include "table/resource_module.h"

namespace trisk {

namespace {

constexpr int kCardSets = 4;

// A list entry that sorts by the locale's collation rather than by code
// point, so that "dondorf" and "Éclat" sort where a reader expects them.
class TNameItem : public QTreeWidgetItem {
  public:
    explicit TNameItem(const QString& name) : QTreeWidgetItem(QStringList{name}) {}
    bool operator<(const QTreeWidgetItem& other) const override {
        return QString::localeAwareCompare(text(0), other.text(0)) < 0;
    }
};

// A panel with a lowered outer and a raised inner bevel, one pixel each.
class TBevelPanel : public QFrame {
  public:
    using QFrame::QFrame;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QPalette& colours = palette();
        auto bevel = [&](QRect r, const QColor& topLeft, const QColor& bottomRight) {
            painter.setPen(topLeft);
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(bottomRight);
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
        };
        const QRect outer = rect();
        bevel(outer, colours.color(QPalette::Dark), colours.color(QPalette::Light));
        bevel(outer.adjusted(1, 1, -1, -1), colours.color(QPalette::Light),
              colours.color(QPalette::Dark));
    }
};

}  // namespace

TSelectCardSetsForm::TSelectCardSetsForm(QWidget* owner, const TResourceModule& library,
                                         const QString& libraryPath,
                                         std::function<void(const QString&)> reportError)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      libraryPath_(libraryPath),
      reportError_(std::move(reportError)) {
    setObjectName("SelectCardSetsForm");
    setWindowTitle("Select card set");
    setFixedSize(377, 289);
    setModal(true);

    trwCardSetsList = new QTreeWidget(this);
    trwCardSetsList->setObjectName("trwCardSetsList");
    trwCardSetsList->setGeometry(8, 8, 177, 228);
    trwCardSetsList->setHeaderHidden(true);
    trwCardSetsList->setColumnCount(1);
    trwCardSetsList->setIndentation(19);
    trwCardSetsList->setRootIsDecorated(false);
    trwCardSetsList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    trwCardSetsList->setSortingEnabled(true);
    trwCardSetsList->sortByColumn(0, Qt::AscendingOrder);

    Panel1 = new TBevelPanel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(191, 8, 178, 228);

    imgCardSetPreview = new QLabel(Panel1);
    imgCardSetPreview->setObjectName("imgCardSetPreview");
    imgCardSetPreview->setGeometry(3, 3, 172, 222);
    imgCardSetPreview->setAlignment(Qt::AlignCenter);
    imgCardSetPreview->setScaledContents(false);

    btOK = new QPushButton("OK", this);
    btOK->setObjectName("btOK");
    btOK->setGeometry(105, 256, 75, 25);
    btOK->setDefault(true);
    btCancel = new QPushButton("Cancel", this);
    btCancel->setObjectName("btCancel");
    btCancel->setGeometry(197, 256, 75, 25);
    setTabOrder(trwCardSetsList, btOK);
    setTabOrder(btOK, btCancel);

    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(trwCardSetsList, &QTreeWidget::currentItemChanged, this,
            &TSelectCardSetsForm::trwCardSetsListChange);

    FormCreate(library);
}

void TSelectCardSetsForm::FormCreate(const TResourceModule& library) {
    for (const QString& name : library.StringTableStrings())
        trwCardSetsList->addTopLevelItem(new TNameItem(name));
}

void TSelectCardSetsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    trwCardSetsList->setFocus();
}

void TSelectCardSetsForm::keyPressEvent(QKeyEvent* event) {
    // Escape is not bound to Cancel; the close box and Cancel still cancel.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TSelectCardSetsForm::SelectPosition(int position) {
    QTreeWidgetItem* item = trwCardSetsList->topLevelItem(position);
    if (item) trwCardSetsList->setCurrentItem(item);
}

int TSelectCardSetsForm::SelectedPosition() const {
    QTreeWidgetItem* item = trwCardSetsList->currentItem();
    return item ? trwCardSetsList->indexOfTopLevelItem(item) : -1;
}

void TSelectCardSetsForm::trwCardSetsListChange() {
    const int position = SelectedPosition();
    if (position >= 0 && position < kCardSets) ShowPreview(CardSetPreviewName(position));
}

void TSelectCardSetsForm::ShowPreview(const QString& previewName) {
    const std::unique_ptr<TResourceModule> library = TResourceModule::Open(libraryPath_);
    if (!library) {
        reportError_("Unable to open cardset.dll.");
        return;
    }
    const std::optional<QByteArray> data = library->Resource(kRtRcData, previewName);
    if (!data) {
        reportError_(QString("Resource %1 not found.").arg(previewName));
        return;
    }
    const QImage preview = QImage::fromData(*data, "PNG");
    if (preview.isNull()) {
        reportError_(QString("The preview %1 is not a readable PNG image.").arg(previewName));
        return;
    }
    // On a screen of more pixels per point, the larger drawing where the
    // library has one.
    const double ratio = imgCardSetPreview->devicePixelRatioF();
    const QImage larger =
        ratio > 1.0 + 1e-6 ? LargerPicture(*library, previewName, preview.size(), ratio) : QImage();
    imgCardSetPreview->setPixmap(QPixmap::fromImage(larger.isNull() ? preview : larger));
}

}  // namespace trisk
