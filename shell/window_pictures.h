// The window's own pictures: the window icon and the toolbar sheet, rendered
// at build time and built into the program.
#pragma once

#include <QImage>

namespace trisk {

class TWindowPictures {
  public:
    static QImage Icon();
    static QImage ToolbarSheet();
};

}  // namespace trisk
