#pragma once

#include <ostream>
#include <span>
#include <string>

namespace orvalen {

// Exit statuses of orvalen-tel.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRefused = 1; // an input was refused or a write failed
inline constexpr int kExitUsage = 2;

// Runs orvalen-tel with its arguments (the program name excluded). Results go to out,
// messages and warnings to err; returns the exit status.
int RunTool(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace orvalen
