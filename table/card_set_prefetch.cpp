#include "table/card_set_prefetch.h"

namespace trisk {

namespace {

TPreparedCardSet Prepare(const QString& libraryPath, const QString& sheetName, double ratio) {
    TPreparedCardSet prepared;
    prepared.SheetName = sheetName;
    prepared.Library = TResourceModule::Open(libraryPath);
    if (prepared.Library) {
        LoadCardSet(prepared.Images, *prepared.Library, sheetName,
                    [&prepared](const QString& text) { prepared.Messages << text; });
        // Decoded here rather than at the first paint.
        for (int i = 0; ratio > 1.0 && i < prepared.Images.Count(); ++i)
            (void)prepared.Images.Image(i, ratio);
    }
    return prepared;
}

}  // namespace

TCardSetPrefetch TCardSetPrefetch::Start(const QString& libraryPath, const QString& sheetName,
                                         double ratio) {
    TCardSetPrefetch prefetch;
    prefetch.result_ = std::async(std::launch::async, Prepare, libraryPath, sheetName, ratio);
    return prefetch;
}

TCardSetPrefetch TCardSetPrefetch::Now(const QString& libraryPath, const QString& sheetName) {
    TCardSetPrefetch prefetch;
    std::promise<TPreparedCardSet> done;
    done.set_value(Prepare(libraryPath, sheetName, 1.0));
    prefetch.result_ = done.get_future();
    return prefetch;
}

TPreparedCardSet TCardSetPrefetch::Take() {
    return result_.get();
}

}  // namespace trisk
