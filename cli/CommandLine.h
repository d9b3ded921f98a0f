#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// What comes before the command word:
//   [--port N] [--lang en|zh] [--trace] [--pcap FILE] [--json] [--help] <command> <arguments...>
// or --version alone.
struct CommandLine {
    std::optional<uint8_t> port;          // --port: 0..255, or COM<n>
    std::optional<std::string> language;  // --lang: "English" or "Chinese"
    bool trace = false;
    std::optional<std::string> pcap;  // --pcap: the capture file to write
    bool help = false;                // --help, before the command or among its arguments
    bool version = false;             // --version, before the command
    bool json = false;  // --json, before the command or among its arguments (taken out of them)
    std::string command;
    std::vector<std::string> commandArgs;  // the words after the command, unread
};

// Reads the arguments after the program name. False with a message naming the offending
// argument when they cannot be used; a missing command is not an error when help or the
// version is asked.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

// A decimal number (no sign, no blanks) up to max.
std::optional<uint64_t> ParseNumber(const std::string& text, uint64_t max);

// For the commands' own arguments, which each command reads as typed.
// The value of an option given as "--name value" or "--name=value" at args[i]; i moves past
// it. Nothing when args[i] is not that option; error set when its value is missing.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, size_t& i,
                                       const std::string& name, std::string& error);

// Reads the arguments of a command that takes one option, name, as often as it is given.
// keep checks each value and stores it, or writes its own message to err and returns false;
// anything but the option gets "tralvo-cli: <command>: ..." on err. False when the arguments
// cannot be used.
bool ReadOptionArguments(const std::vector<std::string>& args, const std::string& command,
                         const std::string& name, std::ostream& err,
                         const std::function<bool(const std::string&)>& keep);

const char* UsageText();
