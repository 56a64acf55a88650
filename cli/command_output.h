#pragma once
// Standard output of every command, help and version included: written here only, so that
// a failed write is never taken for success. A write that fails stops all later ones; the
// end of the command then reports it (FinishCommandOutput).
#include <string_view>

// Adds `text` to what goes to standard output; it is written in blocks.
void CommandOut(std::string_view text);

// Writes what is waiting: before a message on standard error, so that it follows the lines
// printed before it.
void FlushCommandOutput();

// Whether a write has failed (nothing more will be written, and the command may stop).
bool CommandOutputFailed();

// Writes what is left and closes standard output, whose close may report a write that
// failed late. Returns `status` when all went out; kExitClosedPipe, without a word, when
// the reader had gone (as a shell shows a command ended by SIGPIPE); else kExitError, with
// the reason on standard error as "mekuri <command>: " (or "mekuri: " with no command).
int FinishCommandOutput(std::string_view command, int status);
