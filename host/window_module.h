#pragma once
// The window's library, loaded by the gui command alone: the toolkit is large, and a terminal
// command starts in a fraction of the time and memory without it.
#include "host/commands.h"

extern "C" int QuorvaneRunWindow(const host::Words& args, const host::GlobalOptions& global);
