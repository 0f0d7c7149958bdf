#include <doctest/doctest.h>
#include "win/quendral_app.h"
using namespace quendral::testing;
TEST_CASE("smoke") {
    Messenger m;
    QuendralApp app;
    app.AddEntry(u"one");
    app.AddEntry(u"two \U0001F3B5");
    CHECK(app.EntryCount() == 2);
    CHECK(app.InputText().empty());
    app.Press(app.Ok());
    REQUIRE(m.WaitForRecords(1, 5000));
    app.Press(app.Shorter());
    CHECK(app.PaceText() == u"1");
    REQUIRE(m.WaitForRecords(3, 5000));
    CHECK(app.Close());
}
