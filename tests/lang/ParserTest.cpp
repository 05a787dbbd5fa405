#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "lang/CommandInterpreter.h"
#include "support/RowNames.h"

namespace kv {
namespace {

using kv::test::rowNames;

class ParserTest : public testing::Test {
  protected:
    CommandInterpreter ci;
    Workspace::Scope scope{ci.workspace()};

    NodePtr parse(const std::string& text) { return ci.parseCommand(text); }
    std::string error() const { return ci.hasError() ? ci.workspace().error.message : ""; }
    int errorCode() const { return ci.workspace().error.code; }
};

// The shape of a tree as kinds, to pin what the text form cannot show.
std::string shape(const ExprNode& n) {
    std::string name = kindName(n.kind());
    name = name.substr(0, name.size() - 4);
    if (isBinaryKind(n.kind()))
        return name + "(" + shape(leftOf(n)) + "," + shape(rightOf(n)) + ")";
    if (isFunctionKind(n.kind())) return name + "(" + shape(operandOf(n)) + ")";
    return name;
}

struct ShapeRow {
    const char* text;
    const char* shape;
};

class ParserShapeTest : public ParserTest, public testing::WithParamInterface<ShapeRow> {};

TEST_P(ParserShapeTest, BuildsTree) {
    NodePtr t = parse(GetParam().text);
    ASSERT_EQ(error(), "") << GetParam().text;
    EXPECT_EQ(shape(*t), GetParam().shape) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParserShapeTest,
    testing::Values(ShapeRow{"-x^2", "Negation(Power(Variable,Number))"},
                    ShapeRow{"-2*3", "Product(Negation(Number),Number)"},
                    ShapeRow{"x^2^3", "Power(Power(Variable,Number),Number)"},
                    ShapeRow{"a-b+c", "Sum(Difference(Variable,Variable),Variable)"},
                    ShapeRow{"a+b-c", "Sum(Variable,Difference(Variable,Variable))"},
                    ShapeRow{"a/b/c", "Quotient(Quotient(Variable,Variable),Variable)"},
                    ShapeRow{"a*b*c", "Product(Product(Variable,Variable),Variable)"},
                    ShapeRow{"(a)(b)c", "Product(Product(Variable,Variable),Variable)"},
                    ShapeRow{"(a)*b", "Product(Variable,Variable)"},
                    ShapeRow{"2x^2", "Product(Number,Power(Variable,Number))"},
                    ShapeRow{"2.5.5x", "Product(Number,Product(Number,Variable))"},
                    ShapeRow{"cosh(x)", "Cosh(Variable)"},
                    ShapeRow{"cosh2(x)", "Product(Variable,Variable)"},
                    ShapeRow{"log(2,x)", "LogBase"},
                    ShapeRow{"tan(x)^2", "Power(Tan(Variable),Number)"},
                    ShapeRow{"x-1e-3", "Difference(Variable,Number)"},
                    ShapeRow{"2e-x", "Difference(Product(Number,Constant),Variable)"},
                    ShapeRow{"(+-)x*y", "Product(PlusMinus(Variable),Variable)"},
                    ShapeRow{"(x+1)^2", "Power(Sum(Variable,Number),Number)"},
                    ShapeRow{"(x+1)/2", "Quotient(Sum(Variable,Number),Number)"},
                    ShapeRow{"pi", "Constant"}, ShapeRow{"inf", "Number"},
                    ShapeRow{"rnd(1,2,3)", "Rnd"}, ShapeRow{"sqrt(0)", "Sqrt(Number)"}),
    rowNames(&ShapeRow::text));

TEST_F(ParserTest, UnknownNamesAreNewVariablesOnce) {
    std::size_t rows = ci.workspace().variables.size();
    parse("t+1");
    EXPECT_EQ(ci.workspace().variables.size(), rows + 1);
    EXPECT_EQ(ci.workspace().variables.back().name, "t");
    parse("t*t");
    EXPECT_EQ(ci.workspace().variables.size(), rows + 1);
}

TEST_F(ParserTest, UnknownNameIsAnErrorWithoutAutomaticVariables) {
    ci.workspace().autoVariables = false;
    parse("zz+1");
    EXPECT_EQ(error(), "'zz' není platný výraz!");
    EXPECT_EQ(errorCode(), 9);
}

TEST_F(ParserTest, ErrorCodes) {
    struct Row {
        const char* text;
        int code;
    } rows[] = {{"2+", 11},     {"((x)", 8},      {"x)", 8},     {"a=b=c", 9},
                {"1/0", 12},    {"sin()", 1},     {"ln(0)", 13}, {"sqrt(-1)", 13},
                {"log(0)", 13}, {"log(2,0)", 13}, {"tan()", 1},  {"log(1,2,3)", 1}};
    for (const Row& r : rows) {
        parse(r.text);
        EXPECT_EQ(errorCode(), r.code) << r.text;
    }
    parse("1+1");
    EXPECT_EQ(errorCode(), 0) << "parseCommand clears the record";
}

TEST_F(ParserTest, ThreeHundredVariablesKeepTheirOwnValues) {
    // Row indices are not limited to 8 bits: variable 260 must not alias 4.
    std::vector<NodePtr> trees;
    for (int i = 0; i < 300; ++i) trees.push_back(parse("v" + std::to_string(i)));
    for (int i = 0; i < 300; ++i) {
        int row = as<VariableNode>(*trees[i]).index;
        ci.workspace().variables[row].value = i;
    }
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(trees[i]->evaluate(), i);
        EXPECT_EQ(trees[i]->toText(), "v" + std::to_string(i));
    }
}

TEST_F(ParserTest, DeepNestingIsRefusedNotCrashed) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "sin(";
    deep += "x" + std::string(100000, ')');
    NodePtr t = parse(deep);
    EXPECT_EQ(error(), "Výraz je příliš hluboko vnořený!");
    EXPECT_EQ(t->kind(), Kind::Zero);
}

TEST_F(ParserTest, NestingWellAboveRealUseWorks) {
    std::string text;
    for (int i = 0; i < 500; ++i) text += "sin(";
    text += "x" + std::string(500, ')');
    NodePtr t = parse(text);
    EXPECT_EQ(error(), "");
    EXPECT_EQ(t->toText(), text);
}

TEST_F(ParserTest, BalancedParenthesesNeedNoRecursion) {
    std::string text = std::string(100000, '(') + "x" + std::string(100000, ')');
    NodePtr t = parse(text);
    EXPECT_EQ(error(), "");
    EXPECT_EQ(t->toText(), "x");
}

TEST_F(ParserTest, LongChainsWithinTheDepthBoundParse) {
    std::string sum = "1";
    for (int i = 0; i < 5000; ++i) sum += "+1";
    NodePtr t = parse(sum);
    EXPECT_EQ(error(), "");
    EXPECT_EQ(t->evaluate(), 5001.0);
}

TEST_F(ParserTest, ChainsBeyondTheDepthBoundAreRefused) {
    std::string sum = "x";
    for (int i = 0; i < 50000; ++i) sum += "*x";
    parse(sum);
    EXPECT_EQ(error(), "Výraz je příliš hluboko vnořený!");
}

TEST_F(ParserTest, ErrorTextIsTheFailingPart) {
    parse("x+ln(0)");
    EXPECT_EQ(ci.workspace().error.text, "ln(0)");
    parse("x+1/0");
    EXPECT_EQ(ci.workspace().error.text, "1/0");
}

}  // namespace
}  // namespace kv
