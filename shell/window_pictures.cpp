#include "shell/window_pictures.h"

namespace trisk {

// Decoded on the main thread when the window is built. An earlier start
// decoded them on a thread of its own, but that gains nothing once the
// application exists, and before it exists a thread that reaches Qt first is
// taken for the main thread and races the application's set-up.
QImage TWindowPictures::Icon() {
    return QImage(QStringLiteral(":/pictures/icon.png"));
}

QImage TWindowPictures::ToolbarSheet() {
    return QImage(QStringLiteral(":/pictures/toolbar.png"));
}

}  // namespace trisk
