// TSelectCardSetsForm: the card-set chooser. It lists the card sets of the
// card-set library by name, sorted as the player's language sorts, and shows
// a preview of the selected one. The window creates it once and reuses it;
// what a choice does to the table is the window's business.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace trisk {

class TResourceModule;

class TSelectCardSetsForm : public QDialog {
    Q_OBJECT
  public:
    // Lists the names of library, the card-set library already open (so that
    // start-up reads the file once); each preview is read afresh from the
    // file at libraryPath when shown. reportError shows a preview that cannot
    // be read, as the program's error handler does.
    TSelectCardSetsForm(QWidget* owner, const TResourceModule& library, const QString& libraryPath,
                        std::function<void(const QString&)> reportError);

    // Selects the name at position (0 is the first in the list); the preview
    // follows when the selection moves.
    void SelectPosition(int position);
    // The position of the selected name, -1 when none is selected.
    int SelectedPosition() const;
    // Loads the preview previewName of the library into imgCardSetPreview.
    void ShowPreview(const QString& previewName);

    QTreeWidget* trwCardSetsList;
    QFrame* Panel1;
    QLabel* imgCardSetPreview;
    QPushButton* btOK;
    QPushButton* btCancel;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void FormCreate(const TResourceModule& library);
    void trwCardSetsListChange();

    QString libraryPath_;
    std::function<void(const QString&)> reportError_;
};

}  // namespace trisk
