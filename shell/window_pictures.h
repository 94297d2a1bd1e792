// The window's own pictures that the first paint needs: the window icon and
// the toolbar sheet. The first picture a program decodes also sets up Qt's
// image readers, which costs several milliseconds; main() starts the decoding
// on a thread of its own once the application exists, before the window is
// built, and the window takes the
// pictures when it needs them (decoding them itself when nothing was started,
// as in the tests).
#pragma once

#include <QImage>

namespace trisk {

class TWindowPictures {
  public:
    static void StartLoading();
    static QImage Icon();
    static QImage ToolbarSheet();
};

}  // namespace trisk
