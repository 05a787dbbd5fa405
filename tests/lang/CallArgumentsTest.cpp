#include <gtest/gtest.h>

#include "lang/CallArguments.h"
#include "lang/CommandInterpreter.h"
#include "support/RowNames.h"

namespace kv {
namespace {

using kv::test::rowNames;

struct IntervalRow {
    const char* text;
    bool ok;
    const char* lower;
    const char* upper;
};

class SplitIntervalTest : public testing::TestWithParam<IntervalRow> {};

TEST_P(SplitIntervalTest, Splits) {
    const IntervalRow& row = GetParam();
    std::optional<IntervalText> r = splitInterval(row.text);
    ASSERT_EQ(r.has_value(), row.ok) << row.text;
    if (!row.ok) return;
    EXPECT_EQ(r->lower, row.lower) << row.text;
    EXPECT_EQ(r->upper, row.upper) << row.text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitIntervalTest,
    testing::Values(IntervalRow{"[0..1]", true, "0", "1"}, IntervalRow{"0..1", true, "0", "1"},
                    IntervalRow{" [-1..2*pi] ", true, "-1", "2*pi"},
                    IntervalRow{"[1.5..2.5]", true, "1.5", "2.5"},
                    IntervalRow{"[f(1..2)..3]", true, "f(1..2)", "3"},
                    IntervalRow{"[[0..1]]", true, "0", "1"}, IntervalRow{"[..1]", true, "", "1"},
                    IntervalRow{"0:1", false, "", ""}, IntervalRow{"[0..1..2]", false, "", ""},
                    IntervalRow{"[0]", false, "", ""}, IntervalRow{"", false, "", ""},
                    IntervalRow{"[0..1", false, "", ""}),
    rowNames(&IntervalRow::text));

TEST(CallArgumentsTest, SplitRange) {
    std::optional<RangeText> plain = splitRange("[-1..1]");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->variable, "");
    EXPECT_EQ(plain->interval.lower, "-1");
    std::optional<RangeText> named = splitRange("[t, 0..6.28]");
    ASSERT_TRUE(named);
    EXPECT_EQ(named->variable, "t");
    EXPECT_EQ(named->interval.upper, "6.28");
    EXPECT_FALSE(splitRange("[t, 0..1, 2]"));
    EXPECT_FALSE(splitRange("[t, 0:1]"));
}

TEST(CallArgumentsTest, SplitOption) {
    struct Row {
        const char* text;
        bool ok;
        const char* name;
        const char* value;
    } rows[] = {
        {"n=100", true, "n", "100"},
        {"epsilon=1e-3", true, "epsilon", "1e-3"},
        {"h=f(a=1)", true, "h", "f(a=1)"},
        {"a=b=c", true, "a", "b=c"},
        {"h=", false, "", ""},
        {"100", false, "", ""},
    };
    for (const Row& row : rows) {
        std::optional<OptionText> r = splitOption(row.text);
        ASSERT_EQ(r.has_value(), row.ok) << row.text;
        if (!row.ok) continue;
        EXPECT_EQ(r->name, row.name);
        EXPECT_EQ(r->value, row.value);
    }
}

class ParseIntervalTest : public testing::Test {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};
};

TEST_F(ParseIntervalTest, ParsesBothBounds) {
    std::optional<IntervalTrees> r = parseInterval(ci, "f(x,[0..2*pi])", "[0..2*pi]");
    ASSERT_TRUE(r);
    EXPECT_FALSE(ci.hasError());
    EXPECT_EQ(r->lower->evaluate(), 0.0);
    EXPECT_DOUBLE_EQ(r->upper->evaluate(), 2 * 3.141592653589793);
}

TEST_F(ParseIntervalTest, MalformedIntervalNamesItsText) {
    EXPECT_FALSE(parseInterval(ci, "nintegrate(x,x,0:1)", "0:1"));
    EXPECT_EQ(ci.workspace().error.code, static_cast<int>(kArgumentFormatError));
    EXPECT_EQ(ci.workspace().error.message, "'0:1' není platný formát intervalu!");
    EXPECT_EQ(ci.workspace().error.text, "nintegrate(x,x,0:1)");
}

TEST_F(ParseIntervalTest, BoundErrorsStayAsParsed) {
    EXPECT_FALSE(parseInterval(ci, "call", "[0..1/0]"));
    EXPECT_EQ(ci.workspace().error.message, "Dělení nulou!");
    EXPECT_FALSE(parseInterval(ci, "call", "[..1]"));
    EXPECT_EQ(ci.workspace().error.message, "'' není funkce!");
}

TEST_F(ParseIntervalTest, VariableArgumentRegistersOnce) {
    int row = variableArgument(ci, " t ");
    EXPECT_EQ(ci.workspace().variables[static_cast<std::size_t>(row)].name, "t");
    EXPECT_EQ(variableArgument(ci, "t"), row);
}

}  // namespace
}  // namespace kv
