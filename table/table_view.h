// The table: the window's client area below the menu bar, where the piles are
// painted and where pointer releases and moves are taken. It owns everything
// between the table's coordinates (the spot tables) and the screen: the
// painting with the highlight of a picked-up card, the hint's mark and the
// keyboard focus, the hit-testing of the pointer, and the scale between the
// two. At a zoom of 1 a table point is a widget pixel; the device pixel ratio
// on top of the zoom is Qt's. The toolbar lies over the top edge, and hiding
// the toolbar or the status bar never moves the table.
#pragma once

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "engine/rules.h"

namespace trisk {

class TCardImages;
class TGame;

class TTableView : public QWidget {
    Q_OBJECT
  public:
    TTableView(TGame& game, const TCardImages& images, QWidget* parent);

    const TGame& Game() const { return game_; }

    // ---- the scale: table coordinates times the zoom are widget pixels ----
    double Zoom() const { return zoom_; }
    void SetZoom(double zoom);
    // Screen pixels per table pixel: the zoom times the device pixel ratio.
    double PaintScale() const;
    // The table point under a widget point.
    QPoint ToTable(QPointF at) const;
    // The widget rectangle of a table rectangle.
    QRect ToWidget(const QRect& table) const;

    // ---- what is drawn over the cards ----
    // The pile a hint points at (group -1: the stock), framed until cleared,
    // and the pile whose card the hint picked up for it, if any.
    std::optional<TPileRef> HintMark() const { return hintMark_; }
    std::optional<TPileRef> HintFrom() const { return hintFrom_; }
    void SetHintMark(std::optional<TPileRef> pile, std::optional<TPileRef> from = std::nullopt);
    // The pile that keyboard play acts on; none until keyboard play begins.
    std::optional<TPileRef> FocusPile() const { return focusPile_; }
    void SetFocusPile(std::optional<TPileRef> pile);
    // Keyboard play: the arrow keys move the focus (the first press shows it
    // on the stock), Space and Return act on the focused pile as a left-button
    // release over its middle does. Other keys are not the table's.
    bool FormKeyDown(int key);
    // What a screen reader says for the pile: what it shows and what the
    // hint's marks say about it.
    std::string SpokenName(TPileRef pile) const;

    // ---- the window's events on the table ----
    // Paints the whole table with painter set to table coordinates.
    void FormPaint(QPainter& painter);
    // A button released, or the pointer moved, at a widget point.
    void FormMouseUp(Qt::MouseButton button, QPointF at);
    void FormMouseMove(QPointF at);
    // Draws the table now, not at the next paint event.
    void PaintTable();

  signals:
    // After every paint of the table.
    void Painted();
    void Resized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ShowFocusedCount();
    // Screen readers: the focus event of the focused pile, and the name and
    // selection changes since the last paint.
    void ReportFocus();
    void ReportPileChanges();

    TGame& game_;
    const TCardImages& images_;
    double zoom_ = 1.0;
    std::optional<TPileRef> hintMark_;
    std::optional<TPileRef> hintFrom_;
    // Where the pointer last moved: a move event to the same place (Qt sends
    // one when a window over the table opens or closes) is not the player's
    // and leaves a keyboard focus alone.
    std::optional<QPointF> lastPointer_;
    std::optional<TPileRef> focusPile_;
    std::vector<std::string> spokenNames_;
    std::optional<TPileRef> spokenSelection_;
};

}  // namespace trisk
