// The stand-in messenger's command line. One table holds every option: the parser and
// the usage text both come from it, so an option is added by adding a field to Options
// and a row to the table. Plain C++, tested on the host.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quendral::messenger {

struct Options {
    std::u16string logPath;
    bool hang = false;
    std::uint32_t answerAfterMs = 0;
    bool raise = false;
    bool closeOnRecord = false;
    std::u16string title;
    bool beside = false;
    bool messageOnly = false;
    bool clickOkOnRecord = false;
};

// A flag sets a bool; an option with a value takes the next argument, as text or as a
// whole number (of milliseconds, say).
using OptionField =
    std::variant<bool Options::*, std::u16string Options::*, std::uint32_t Options::*>;

struct OptionRow {
    std::u16string_view name;       // "--log"
    std::u16string_view valueName;  // "FILE"; empty for a flag
    std::u16string_view help;       // what it does, in a line or two ('\n' breaks it)
    OptionField field;
};

std::span<const OptionRow> OptionTable();

struct ParsedOptions {
    Options options;
    bool help = false;     // --help: show the usage and start nothing
    std::u16string error;  // why the arguments were refused; empty when they weren't
};

// The arguments after the program's name. An unknown option, a stray argument, an
// option missing its value or a number that isn't one is refused, naming it.
ParsedOptions ParseOptions(std::span<const std::u16string> arguments);

// The usage text, made from the table.
std::u16string Usage();

}  // namespace quendral::messenger
