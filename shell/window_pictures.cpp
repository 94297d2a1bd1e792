#include "shell/window_pictures.h"

#include <QCoreApplication>

#include <future>
#include <mutex>

namespace trisk {

namespace {

struct TPictures {
    QImage Icon;
    QImage ToolbarSheet;
};

TPictures Decode() {
    return TPictures{QImage(QStringLiteral(":/pictures/icon.png")),
                     QImage(QStringLiteral(":/pictures/toolbar.png"))};
}

std::mutex guard;
std::shared_future<TPictures> pending;

TPictures Pictures() {
    std::shared_future<TPictures> started;
    {
        const std::lock_guard<std::mutex> lock(guard);
        started = pending;
    }
    return started.valid() ? started.get() : Decode();
}

}  // namespace

void TWindowPictures::StartLoading() {
    // Before the application exists the thread would be taken for Qt's main
    // thread; the pictures are then decoded when first asked for.
    if (QCoreApplication::instance() == nullptr) return;
    const std::lock_guard<std::mutex> lock(guard);
    if (!pending.valid()) pending = std::async(std::launch::async, Decode).share();
}

QImage TWindowPictures::Icon() {
    return Pictures().Icon;
}

QImage TWindowPictures::ToolbarSheet() {
    return Pictures().ToolbarSheet;
}

}  // namespace trisk
