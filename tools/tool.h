// trisk-tool: the headless companion of the game. RunTool is its whole
// command line, so tests can run it without a process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/rules.h"

namespace trisk {

// Exit status: 0 success, 1 a file that cannot be loaded (show), 2 bad usage.
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// "A0" ... "K3": rank (A 2-9 T J Q K) then the suit number.
std::string CardText(const TCard& card);
// Every pile of the kind's table, bottom to top, then the stock in dealing order.
void PrintPosition(const TPosition& position, std::ostream& out);

}  // namespace trisk
