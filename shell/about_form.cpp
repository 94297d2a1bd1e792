#include "shell/about_form.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "shell/version_record.h"

namespace trisk {

namespace {

// Times New Roman, bold, 21 pixels high; where it is missing, its
// metric-compatible stand-in Liberation Serif keeps the name inside its label.
QFont NameFont() {
    QFont font;
    font.setFamilies({"Times New Roman", "Liberation Serif", "Serif"});
    font.setPixelSize(21);
    font.setBold(true);
    return font;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* owner, const QString& programPath)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("AboutForm");
    setWindowTitle("About");
    setFixedSize(342, 193);
    setModal(true);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName("imgLogo");
    imgLogo->setGeometry(8, 16, 115, 115);
    imgLogo->setAlignment(Qt::AlignCenter);
    imgLogo->setAttribute(Qt::WA_TranslucentBackground);

    lbName = new QLabel("Solitaire Trisk", this);
    lbName->setObjectName("lbName");
    lbName->setGeometry(155, 11, 153, 22);
    lbName->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbName->setFont(NameFont());

    lbVersion = new QLabel("Version", this);
    lbVersion->setObjectName("lbVersion");
    lbVersion->setGeometry(172, 50, 120, 13);
    lbVersion->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    // A sunken line along the bottom edge of its place.
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setGeometry(144, 76, 175, 2);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    lbCopyright = new QLabel(this);
    lbCopyright->setObjectName("lbCopyright");
    lbCopyright->setGeometry(151, 88, 160, 26);
    lbCopyright->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbCopyright->setWordWrap(true);

    btClose = new QPushButton("OK", this);
    btClose->setObjectName("btClose");
    btClose->setGeometry(133, 160, 75, 25);
    btClose->setDefault(true);
    // Not reached with Tab; Enter presses it as the default button.
    btClose->setFocusPolicy(Qt::ClickFocus);
    connect(btClose, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate(programPath);
}

void TAboutForm::FormCreate(const QString& programPath) {
    imgLogo->setPixmap(QPixmap(":/pictures/LOGO.png"));
    lbVersion->setText(lbVersion->text() + " " + ReadVersionString(programPath, "FileVersion"));
    lbCopyright->setText(ReadVersionString(programPath, "LegalCopyright"));
}

}  // namespace trisk
