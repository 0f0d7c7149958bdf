#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "tools/messenger/options.h"

using namespace quendral::messenger;

namespace {

std::string Ascii(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

}  // namespace

TEST_CASE("Messenger::its command line, from one table") {
    struct Case {
        std::vector<std::u16string> arguments;
        std::string error;  // a part of the message; empty when they are taken
    };
    const Case cases[] = {
        {{}, ""},
        {{u"--log", u"C:\\logs\\m.log", u"--title", u"second copy", u"--answer-after", u"1500",
          u"--hang", u"--raise", u"--close-on-record", u"--beside"},
         ""},
        // A value is taken as it is, even one that looks like an option.
        {{u"--title", u"--hang"}, ""},
        {{u"--answer-afer", u"300"}, "unknown option --answer-afer"},
        {{u"-h"}, "unknown option -h"},
        {{u"stray"}, "unexpected argument stray"},
        {{u"--hang", u"--log"}, "--log needs a value: --log FILE"},
        {{u"--answer-after"}, "--answer-after needs a value"},
        {{u"--answer-after", u"12x"}, "--answer-after takes a whole number, not \"12x\""},
        {{u"--answer-after", u"-5"}, "takes a whole number"},
        {{u"--answer-after", u""}, "takes a whole number"},
        {{u"--answer-after", u"4294967296"}, "takes a whole number"},
    };
    for (const Case& test : cases) {
        std::u16string joined;
        for (const auto& argument : test.arguments) joined += argument + u" ";
        INFO("arguments: " << Ascii(joined));
        const ParsedOptions parsed = ParseOptions(test.arguments);
        if (test.error.empty()) {
            CHECK(parsed.error.empty());
        } else {
            CHECK(Ascii(parsed.error).find(test.error) != std::string::npos);
        }
        CHECK_FALSE(parsed.help);
    }

    const std::vector<std::u16string> all{
        u"--log",      u"C:\\logs\\m.log", u"--title", u"second copy",       u"--answer-after",
        u"4294967295", u"--hang",          u"--raise", u"--close-on-record", u"--beside"};
    const Options options = ParseOptions(all).options;
    CHECK(options.logPath == u"C:\\logs\\m.log");
    CHECK(options.title == u"second copy");
    CHECK(options.answerAfterMs == 4294967295u);
    CHECK(options.hang);
    CHECK(options.raise);
    CHECK(options.closeOnRecord);
    CHECK(options.beside);
    const Options none = ParseOptions({}).options;
    CHECK_FALSE((none.hang || none.raise || none.closeOnRecord || none.beside));
    CHECK((none.logPath.empty() && none.title.empty() && none.answerAfterMs == 0));

    SUBCASE("--help, anywhere, asks for the usage, which names every option") {
        const std::vector<std::u16string> arguments{u"--beside", u"--help"};
        CHECK(ParseOptions(arguments).help);
        const std::string usage = Ascii(Usage());
        for (const OptionRow& row : OptionTable()) {
            INFO("option: " << Ascii(row.name));
            const std::string shown =
                "  " + Ascii(row.name) + (row.valueName.empty() ? "" : " " + Ascii(row.valueName));
            CHECK(usage.find(shown + " ") != std::string::npos);
        }
        CHECK(usage.find("  --help ") != std::string::npos);
    }
}
