#pragma once

#include "CodePageRule.h"

#include <istream>
#include <ostream>
#include <span>
#include <string>

namespace orvalen {

// Exit statuses of orvalen-tel.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRefused = 1; // an input was refused or a write failed
inline constexpr int kExitUsage = 2;

// Runs orvalen-tel with its arguments (the program name excluded). "-" reads in and writes
// out; results go to out, messages and warnings to err; returns the exit status. The
// environment's locale decides the default code page and the terminal's character set.
int RunTool(std::span<const std::string> args, std::istream& in, std::ostream& out,
            std::ostream& err,
            const LocaleEnvironment& environment = LocaleEnvironment::OfProcess());
// The same with nothing on standard input.
int RunTool(std::span<const std::string> args, std::ostream& out, std::ostream& err,
            const LocaleEnvironment& environment = LocaleEnvironment::OfProcess());

} // namespace orvalen
