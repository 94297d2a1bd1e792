// Keyboard play: which pile the arrow keys move the focus to. The piles'
// spots decide it, so every kind's layout gets the same rule.
#pragma once

#include <optional>

#include "engine/rules.h"

namespace trisk {

enum class TFocusDirection { Left, Right, Up, Down };

// The pile nearest to from in the direction, among the kind's piles and the
// stock (group -1): only piles whose centre lies beyond from's centre in that
// direction count, the distance along the direction weighing less than the
// distance across it, so that a key follows a row or a column before it
// jumps to another. None when no pile lies that way.
std::optional<TPileRef> NextFocusPile(TGameKind kind, TPileRef from, TFocusDirection direction);

// The number of cards the "Cards:" panel shows for a focused pile: what it
// shows with the pointer over the pile's middle.
int FocusedPileCount(const TPosition& position, TPileRef pile);

}  // namespace trisk
