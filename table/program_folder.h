// The folder of the running program file, where "cardset.dll", "Help.chm"
// and the help viewer lie beside it.
#pragma once

#include <QString>

namespace trisk {

// Taken from /proc/self/exe as bytes, never from the current folder. When
// the folder's name cannot be written as a QString and back (a name that is
// not valid in the locale's encoding), the folder is held open and named as
// "/proc/self/fd/N", which reaches the same folder. Empty when the folder
// cannot be found at all: a file "beside the program" is then not found,
// rather than taken from wherever the program was started.
QString ProgramFolder();

}  // namespace trisk
