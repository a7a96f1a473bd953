// Style files: every image out, one image back in.

#include "cli/Command.h"

void AddStyCommands(std::vector<Command>&) {}
