#include "tools/tool_host.h"

namespace trisk {

void TToolHost::ShowMessage(const std::string& text, TMessageKind) {
    LastMessage = text;
    if (EchoMessages) std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace trisk
