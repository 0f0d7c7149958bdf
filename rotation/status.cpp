#include "rotation/status.h"

#include <algorithm>

namespace quendral {

namespace {

bool ShowsAsSpace(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit == 0x2028 || unit == 0x2029;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

std::u16string Number(std::size_t number) {
    const std::string digits = std::to_string(number);
    return {digits.begin(), digits.end()};
}

// "1 messenger", "2 messengers".
std::u16string Messengers(std::size_t count) {
    return Number(count) + (count == 1 ? u" messenger" : u" messengers");
}

}  // namespace

std::u16string OneLine(std::u16string_view line) {
    std::u16string shown;
    shown.reserve(std::min(line.size(), kStatusLineMax + 1));
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (shown.size() == kStatusLineMax) {
            shown += u'\u2026';
            break;
        }
        const char16_t unit = line[at];
        if (unit == u'\r' && at + 1 < line.size() && line[at + 1] == u'\n') ++at;
        if (IsHighSurrogate(unit) && shown.size() + 1 == kStatusLineMax && at + 1 < line.size()) {
            shown += u'\u2026';  // the pair would be cut in two
            break;
        }
        shown += ShowsAsSpace(unit) ? u' ' : unit;
    }
    return shown;
}

std::u16string StatusText(const StepReport& report) {
    using Kind = StepReport::Kind;
    if (report.kind == Kind::kEmptyList) return u"Nothing to send: the list is empty";
    if (report.kind == Kind::kNotSent)
        return u"Not sent: the system is short of memory for this line";
    const DeliveryReport& delivery = report.delivery;
    if (delivery.found == 0) return u"No messenger is running";
    if (delivery.took == 0 && delivery.refused > 0) {
        return u"Not sent: Windows refused it. Is the messenger running as administrator?";
    }
    std::u16string text = u"Sent to ";
    if (delivery.took < delivery.found) text += Number(delivery.took) + u" of ";
    text += Messengers(delivery.found) + u": " + OneLine(report.line);
    return text;
}

}  // namespace quendral
