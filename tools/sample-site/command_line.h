#pragma once

#include <QStringList>

#include <cstdint>
#include <optional>

namespace samplesite {

/// What `zorvane-sample-site [--port N] [--seed S]` was asked to do.
struct CommandLine
{
    uint16_t port = 0; // 0: the kernel picks
    uint32_t seed = 1;
    bool help = false;
};

/// Reads the arguments after the program name. A value is plain decimal
/// digits within range (port 0 to 65535, seed 0 to 4294967295); a later
/// option of the same name wins. None for anything else: an unknown option,
/// a missing or malformed value.
std::optional<CommandLine> ParseCommandLine(const QStringList& arguments);

/// The usage text shown for --help and for a wrong command line.
const char* UsageText();

} // namespace samplesite
