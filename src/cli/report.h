#pragma once

// Where the command line's errors go: always to standard error (also with
// --json), the first one kept so that --json can end with
// {"error": "...", "exit": N} on standard output.

#include <string>

namespace cli {

// Prints "daraz: TEXT" on standard error and keeps it.
void Error(const std::string& text);
// Keeps an error that was printed elsewhere (a routine's status text).
void NoteError(const std::string& text);
// The first error of the run, without display padding; empty when none.
std::string FirstError();

// The end of every command: with --json and a failing status, prints the
// error object on standard output. Returns `rc`.
int Exit(bool json, int rc);

}  // namespace cli
