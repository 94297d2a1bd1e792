// The help command (Help > Contents, F1): starts the help viewer "trisk-help"
// from the program's own folder on the help file "Help.chm" of that folder.
// The viewer runs as a process of its own, detached from the game, so that a
// missing or damaged help file can never take the game down; it reports such
// a file itself, and when a viewer already shows the file it brings that one
// forward instead. The game shows nothing and waits for nothing.
#pragma once

#include <QString>

namespace trisk {

// Starts the viewer beside the running program; returns at once. False when
// the viewer could not be started (the caller may ignore it: there is nothing
// the game should show).
bool ShowHelpContents();

// The same for the viewer and the help file in `folder`.
bool StartHelpViewer(const QString& folder);

}  // namespace trisk
