// Opening "cardset.dll" and decoding a card set takes a good part of the
// start-up. The program starts both on a second thread before it builds the
// window, and the start-up sequence takes the result at the step where it
// opens the library and loads the card set, in the same order and with the
// same messages as if it had done the work right there.
#pragma once

#include <QString>
#include <QStringList>

#include <future>
#include <memory>

#include "table/card_images.h"
#include "table/resource_module.h"

namespace trisk {

struct TPreparedCardSet {
    std::unique_ptr<TResourceModule> Library;  // nullptr: the library cannot be opened
    QString SheetName;
    TCardImages Images;
    QStringList Messages;  // LoadCardSet's messages, to be shown in order
};

class TCardSetPrefetch {
  public:
    // Starts opening the library and loading sheetName on another thread;
    // for a device pixel ratio above 1 also the larger drawings that fit it.
    static TCardSetPrefetch Start(const QString& libraryPath, const QString& sheetName,
                                  double ratio = 1.0);
    // Does the same work at once, on the calling thread.
    static TCardSetPrefetch Now(const QString& libraryPath, const QString& sheetName);

    // Waits for the work and hands over its result (once).
    TPreparedCardSet Take();

  private:
    std::future<TPreparedCardSet> result_;
};

}  // namespace trisk
