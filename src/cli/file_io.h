#pragma once

// The command line's files: the options that say how to read them, "-" for
// standard input and output, refusals before anything is done, and data a
// file holds outside the device.

#include <optional>
#include <string>

#include "cli/session.h"
#include "image/file_load.h"

namespace cli {

// The name stands for standard output: "-", /dev/stdout, /dev/fd/1.
bool IsStandardOutput(const std::string& path);

// --format and --file-offset as the loader takes them. kOk, or kUsage with
// the error printed.
int ParseLoadOptions(const FileOptions& options, image::LoadOptions& out);
// --format / --out-format for a file to write; nothing when empty.
int ParseSaveFormat(const std::string& option, const std::string& text,
                    std::optional<image::FileFormat>& out);

// What the file is loaded for: a chip action that programs or compares it,
// or a conversion or checksum.
enum class LoadPurpose { kProgram, kVerify, kOther };

// Loads FILE ("-": standard input) into the session's image. kOk; kUsage
// for a file that cannot be read, holds no data, or (for a chip action
// without --allow-outside) holds data outside the device.
int LoadInput(Session& s, const std::string& file, const FileOptions& options, LoadPurpose purpose);

// Would saving to `path` be refused (an EEPROM file without an AVR, a file
// that would hold nothing)? Checked before the chip is read. kOk or kUsage.
int CheckOutput(Session& s, const std::string& path,
                const std::optional<image::FileFormat>& format);
// Saves the image under exactly `path` ("-": standard output) in `format`,
// else in the type its extension names. kOk, kUsage (refused: nothing
// written) or kFailed (could not be written; an old file is untouched).
int SaveOutput(Session& s, const std::string& path, const std::optional<image::FileFormat>& format);

}  // namespace cli
