#include "tools/messenger/options.h"

#include <algorithm>
#include <array>
#include <limits>

namespace quendral::messenger {

namespace {

constexpr std::array kTable{
    OptionRow{u"--log", u"FILE",
              u"appends \"HH:MM:SS.mmm 0xDWDATA CBDATA HEX\" to FILE for every record,\n"
              u"before the record is looked at any further",
              &Options::logPath},
    OptionRow{u"--hang", u"",
              u"after logging a record, never answers (a messenger that stopped\n"
              u"responding)",
              &Options::hang},
    OptionRow{u"--answer-after", u"MS",
              u"answers each record only after MS milliseconds (a slow messenger)",
              &Options::answerAfterMs},
    OptionRow{u"--raise", u"", u"moves its window to the top of the window order on each record",
              &Options::raise},
    OptionRow{u"--close-on-record", u"", u"closes its window inside the first record it is sent",
              &Options::closeOnRecord},
    OptionRow{u"--title", u"TEXT", u"appended to the caption, to tell several copies apart",
              &Options::title},
    OptionRow{u"--beside", u"",
              u"once Quendral's window shows, stands to its right (to its left where\n"
              u"the screen has no room) and follows it until it has stayed put for a\n"
              u"second",
              &Options::beside},
    OptionRow{u"--message-only", u"",
              u"makes its window message-only (parent HWND_MESSAGE): never shown,\n"
              u"\"(message-only)\" in its caption, known by its log and its title",
              &Options::messageOnly},
    OptionRow{u"--click-ok-on-record", u"",
              u"inside the first record it is sent, presses Quendral's \"Ok\" and\n"
              u"waits for the click to be handled before it answers the record",
              &Options::clickOkOnRecord},
};

constexpr std::u16string_view kHelp = u"--help";

const OptionRow* Find(std::u16string_view name) {
    const auto found = std::find_if(kTable.begin(), kTable.end(),
                                    [&](const OptionRow& row) { return row.name == name; });
    return found == kTable.end() ? nullptr : &*found;
}

// A whole number of up to 32 bits, digits only.
bool ParseNumber(std::u16string_view text, std::uint32_t& number) {
    if (text.empty()) return false;
    std::uint64_t value = 0;
    for (const char16_t unit : text) {
        if (unit < u'0' || unit > u'9') return false;
        value = value * 10 + static_cast<std::uint64_t>(unit - u'0');
        if (value > std::numeric_limits<std::uint32_t>::max()) return false;
    }
    number = static_cast<std::uint32_t>(value);
    return true;
}

}  // namespace

std::span<const OptionRow> OptionTable() {
    return kTable;
}

ParsedOptions ParseOptions(std::span<const std::u16string> arguments) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::u16string& argument = arguments[i];
        if (argument == kHelp) {
            parsed.help = true;
            continue;
        }
        const OptionRow* row = Find(argument);
        if (row == nullptr) {
            parsed.error =
                (argument.starts_with(u"-") ? u"unknown option " : u"unexpected argument ") +
                argument;
            return parsed;
        }
        if (const auto flag = std::get_if<bool Options::*>(&row->field)) {
            parsed.options.** flag = true;
            continue;
        }
        if (i + 1 == arguments.size()) {
            parsed.error = argument + u" needs a value: " + std::u16string(row->name) + u" " +
                           std::u16string(row->valueName);
            return parsed;
        }
        const std::u16string& value = arguments[++i];
        if (const auto text = std::get_if<std::u16string Options::*>(&row->field)) {
            parsed.options.** text = value;
        } else if (const auto number = std::get_if<std::uint32_t Options::*>(&row->field);
                   !ParseNumber(value, parsed.options.**number)) {
            parsed.error = argument + u" takes a whole number, not \"" + value + u"\"";
            return parsed;
        }
    }
    return parsed;
}

std::u16string Usage() {
    std::u16string usage =
        u"usage: messenger.exe [options]\n\n"
        u"A stand-in messenger: a window of the messenger's class that shows,\n"
        u"and can log, every now-playing record it is sent.\n\n";
    std::size_t width = kHelp.size();
    for (const OptionRow& row : kTable) {
        width = std::max(width,
                         row.name.size() + (row.valueName.empty() ? 0 : row.valueName.size() + 1));
    }
    const auto line = [&](std::u16string_view name, std::u16string_view value,
                          std::u16string_view help) {
        std::u16string left = u"  " + std::u16string(name);
        if (!value.empty()) left += u" " + std::u16string(value);
        left.resize(width + 4, u' ');
        // Each further line of the help text starts under the first.
        for (std::size_t start = 0; start <= help.size();) {
            const std::size_t end = std::min(help.find(u'\n', start), help.size());
            usage += (start == 0 ? left : std::u16string(width + 4, u' ')) +
                     std::u16string(help.substr(start, end - start)) + u"\n";
            start = end + 1;
        }
    };
    for (const OptionRow& row : kTable) line(row.name, row.valueName, row.help);
    line(kHelp, u"", u"shows this text and starts nothing");
    return usage;
}

}  // namespace quendral::messenger
