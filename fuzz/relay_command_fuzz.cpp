// The launcher's reading of its own command line, and the buffers it copies the command into.
#include <cstdint>
#include <cstring>
#include <string>

#include "relay/relay_text.h"

static bool OddLead(unsigned char c) { return c >= 0x81 && c <= 0x9F; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);  // NUL-terminated copy
  for (relay::LeadBytePredicate lead : {static_cast<relay::LeadBytePredicate>(nullptr), &OddLead}) {
    const char* command = relay::CommandOfLine(line.c_str(), lead);
    if (command < line.c_str() || command > line.c_str() + std::strlen(line.c_str())) __builtin_trap();
    char text[relay::kLauncherCommandSize];
    if (relay::CopyCommand(command, text, sizeof text) && std::strcmp(text, command) != 0) __builtin_trap();
    char out[relay::kCommandLineSize];
    relay::BuildLaunchLine("\"C:\\a b\\qz32.exe\"", text, out, sizeof out);
  }
  return 0;
}
