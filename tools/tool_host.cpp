#include "tools/tool_host.h"

namespace trisk {

void TToolHost::ShowMessage(const std::string& text, TMessageKind) {
    LastMessage = text;
    if (EchoMessages) err_ << text << "\n";
}

}  // namespace trisk
