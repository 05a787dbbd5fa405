#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "lang/CommandInterpreter.h"

namespace kv {
namespace {

class InterpreterTest : public testing::Test {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};

    std::string run(const std::string& text) {
        NodePtr t = ci.parseCommand(text);
        return ci.hasError() ? "Chyba: " + ci.workspace().error.message : t->toText();
    }

    // Stores a list-valued user function, as r=solve(...) would.
    void defineList(const std::string& name, std::vector<double> values) {
        auto list = std::make_unique<ListNode>();
        for (double v : values) list->append(number(v));
        ci.userFunctions().push_back({name, {}, std::move(list)});
    }
};

TEST_F(InterpreterTest, ConstantsFilledInOrder) {
    const char* names[] = {"pi", "e",         "eg",      "deg", "golden", "g",    "hbar",
                           "na", "boltzmann", "c_light", "gn",  "true",   "false"};
    ASSERT_EQ(ci.workspace().constants.size(), 13u);
    for (int i = 0; i < 13; ++i) EXPECT_EQ(ci.workspace().constants[i].name, names[i]);
    EXPECT_DOUBLE_EQ(ci.workspace().constants[1].value, std::exp(1.0));
    EXPECT_DOUBLE_EQ(ci.workspace().constants[4].value, (std::sqrt(5.0) + 1) / 2);
    EXPECT_TRUE(ci.workspace().autoVariables);
}

TEST_F(InterpreterTest, ListIndexing) {
    defineList("r", {10, 20, 30});
    struct Row {
        const char* text;
        const char* result;
    } rows[] = {{"r", "[10, 20, 30]"},
                {"r()", "[10, 20, 30]"},
                {"r(0)", "10"},
                {"r(2)", "30"},
                {"r(2.9)", "30"},
                {"r(1+1)", "30"},
                {"r(-1)", "Chyba: Neplatný index pole!"},
                {"r(3)", "Chyba: Neplatný index pole!"},
                {"r(inf)", "Chyba: Neplatný index pole!"},
                {"r(t)", "Chyba: Index pole musí být konstantní!"},
                {"r(1,2)", "Chyba: Funkce 'r' nebere 2 parametrů!"},
                {"r(1,2,3)", "Chyba: Funkce 'r' nebere 3 parametrů!"},
                {"r(ln(0))", "Chyba: Funckce 'ln(x)' není definována v bodě 0!"}};
    for (const Row& row : rows) EXPECT_EQ(run(row.text), row.result) << row.text;
}

TEST_F(InterpreterTest, ListIndexWhoseArgumentRedefinesTheList) {
    defineList("r", {1, 2});
    // The argument replaces r by a plain value while it is parsed.
    EXPECT_EQ(run("r(r=0)"), "Chyba: Neplatný index pole!");
}

TEST_F(InterpreterTest, DefinitionReplacesRowInPlace) {
    run("a=1");
    run("b=2");
    run("a=3");
    ASSERT_EQ(ci.userFunctions().size(), 2u);
    EXPECT_EQ(ci.userFunctions()[0].name, "a");
    EXPECT_EQ(ci.userFunctions()[0].body->toText(), "3");
}

TEST_F(InterpreterTest, FailedBodyIsStoredAndReported) {
    EXPECT_EQ(run("b=1/0"), "Chyba: Dělení nulou!");
    ASSERT_EQ(ci.userFunctions().size(), 1u);
    EXPECT_EQ(ci.userFunctions()[0].body->kind(), Kind::Zero);
}

TEST_F(InterpreterTest, SequentialSubstitution) {
    run("f(x,y)=x+y");
    EXPECT_EQ(run("f(y,1)"), "1+1");
    EXPECT_EQ(run("f(1,x)"), "1+x");
}

TEST_F(InterpreterTest, CallArgumentsAreIndependentCopies) {
    run("f(x)=x*x");
    NodePtr t = ci.parseCommand("f(t+1)");
    ASSERT_FALSE(ci.hasError());
    EXPECT_NE(&leftOf(*t), &rightOf(*t));
    EXPECT_EQ(t->toText(), "(t+1)*(t+1)");
}

TEST_F(InterpreterTest, SelfApplicationGrowthIsBounded) {
    run("f(x)=x*x*x*x*x*x*x*x");
    // 8^8 = 16 million leaves would exhaust memory; the interpreter refuses.
    EXPECT_EQ(run("f(f(f(f(f(f(f(f(x))))))))"), "Chyba: Výraz je příliš velký!");
    EXPECT_EQ(run("f(f(x))"), std::string(run("f(f(x))")));  // still usable
    EXPECT_FALSE(ci.hasError());
}

TEST_F(InterpreterTest, TableCommands) {
    run("f(x)=x");
    run("g(x)=x");
    run("f(x)=2");
    EXPECT_EQ(run("remove_user_func(f)"), "Uživatelská funkce 'f' odstraněna!");
    EXPECT_EQ(run("remove_user_func(f)"), "Uživatelská funkce 'f' neexistuje!");
    EXPECT_FALSE(ci.hasError());
    EXPECT_EQ(run("clear_user_funcs"), "Uživatelské funkce odstraněny!");
    EXPECT_TRUE(ci.userFunctions().empty());
}

}  // namespace
}  // namespace kv
