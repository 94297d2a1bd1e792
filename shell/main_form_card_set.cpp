// The card-set chooser: made once at start-up, run by "Select a Card Set";
// OK puts the chosen set on the table and into the CardSet setting.
#include "shell/main_form.h"
#include "table/card_images.h"
#include "table/resource_module.h"
#include "table/select_card_sets_form.h"

namespace trisk {

namespace {

constexpr int kCardSets = 4;

}  // namespace

void TMainForm::CreateCardSetChooser() {
    SelectCardSetsForm = new TSelectCardSetsForm(
        this, *CardSetLibrary, CardSetLibraryPath(), [this](const QString& text) {
            dialogs_.ShowMessage(text.toStdString(), TMessageKind::Plain);
        });
}

void TMainForm::aSelectCardSetExecute() {
    // A CardSet outside the table stands for the default set, which is the
    // set on the table then.
    const int cardSet = game_.Settings().CardSet;
    SelectCardSetsForm->SelectPosition(cardSet >= 0 && cardSet < kCardSets ? cardSet
                                                                           : TSettings{}.CardSet);
    if (!dialogs_.ShowCardSetChooser(*SelectCardSetsForm)) return;

    const int position = SelectCardSetsForm->SelectedPosition();
    if (position < 0 || position >= kCardSets) return;
    LoadCardSet(IList, *CardSetLibrary, CardSetSheetName(position), [this](const QString& text) {
        dialogs_.ShowMessage(text.toStdString(), TMessageKind::Plain);
    });
    InvalidateTable();
    TSettings settings = game_.Settings();
    settings.CardSet = position;
    game_.SetSettings(settings);
}

}  // namespace trisk
