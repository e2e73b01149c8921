#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <thread>

#include "scene/expressions/program.h"
#include "scene/expressions/registry.h"
#include "scene/expressions/spline_functions.h"

namespace vyr {
namespace {

constexpr double kPi = 3.141592653589793;

// Variables T and U, and a constant x = 4 (as a modifier's own key would be).
class TTestNames : public TCalcResolver {
 public:
  TRef<TParamValue> t = MakeRef<TParamValue>("T", 0.25);
  TRef<TParamValue> u = MakeRef<TParamValue>("U", 2);
  TRef<TCalcFunc> Resolve(std::string_view name) override {
    if (name == "T") return t;
    if (name == "U") return u;
    if (name == "x") return MakeRef<TMathConst>("x", 4);
    return nullptr;
  }
};

double Eval(const std::string& text, double t = 0.25) {
  TTestNames names;
  names.t->SetValue(t);
  TCalcCmdList program;
  EXPECT_TRUE(program.Compile(text, &names)) << text << ": " << program.Error().Message();
  TCalcStack stack;
  return program.Run(stack);
}

std::string Program(const std::string& text) {
  TTestNames names;
  TCalcCmdList program;
  EXPECT_TRUE(program.Compile(text, &names)) << text << ": " << program.Error().Message();
  return program.Dump();
}

TEST(Expression, ValuesOfOperatorsAndFunctions) {
  const std::pair<const char*, double> cases[] = {
      {"1+2*3", 7},
      {"(1+2)*3", 9},
      {"8/4/2", 1},
      {"10-4-3", 3},
      {"2*-3", -6},
      {"-+-2", 2},
      {" 1 +\t2 ", 3},
      {"1.5e2+2E-1", 150.2},
      {"T*U", 0.5},
      {"U/T", 8},
      {"U-T*4", 1},
      {"-T*2", -0.5},
      {"-(-T)", 0.25},
      {"--T", 0.25},
      {"2*3+x", 10},
      {"Pi", kPi},
      {"sin(Pi/2)+COS(0)", 2},
      {"Tan(Pi/4)", 1},
      {"Cotan(Pi/4)", 1},
      {"ArcSin(1)", kPi / 2},
      {"ArcCos(1)", 0},
      {"ArcTan(1)", kPi / 4},
      {"ArcTan2(1,0)", kPi / 2},
      {"ArcTan2(0,-1)", kPi},
      {"Hypot(3,4)", 5},
      {"Sqrt(16)", 4},
      {"Power(2,10)", 1024},
      {"Pow(U,T*4)", 2},
      {"Power(T,2)", 0.0625},
      {"Sqr(-3)", 9},
      {"Abs(-2.5)", 2.5},
      {"Frac(-1.25)", -0.25},
      {"Frac(2.75)", 0.75},
      {"Round(2.5)", 2},
      {"Round(3.5)", 4},
      {"Round(-2.5)", -2},
      {"Round(U+T)", 2},
      {"Trunc(-1.7)", -1},
      {"Ceil(1.2)", 2},
      {"Ceil(-1.2)", -1},
      {"Lerp(2,4,T)", 2.5},
      {"QSplineGraph(0.5,0.42,0,0.58,1)", 0.5},
      {"QSplineGraph(T,0,0,1,1)", 0.25},
      {"QSplineGraph(T+0.25,0.42,0,0.58,U/2)", 0.5},
      {"0.5-Cos(T*Pi)/2", 0.5 - std::cos(0.25 * kPi) / 2},
  };
  for (const auto& [text, value] : cases) EXPECT_NEAR(Eval(text), value, 1e-12) << text;
}

TEST(Expression, EaseInOutAtItsEnds) {
  for (double t : {0.0, 0.5, 1.0}) EXPECT_NEAR(Eval("0.5-Cos(T*Pi)/2", t), t, 1e-15);
}

TEST(Expression, ConstantsFoldAndAdjacentConstantsMerge) {
  const std::pair<const char*, const char*> cases[] = {
      {"0.5-Cos(T*Pi)/2",
       "call T/0\nmul-const 3.1415926535897931\ncall Cos/1\nmul-const 0.5\nconst-minus 0.5\n"},
      {"2*3+x", "push 10\n"},
      {"-(2*3)", "push -6\n"},
      {"Sqrt(Hypot(3,4)*Pi/Pi+11)", "push 4\n"},
      {"-(-T)", "call T/0\n"},
      {"--T", "call T/0\n"},
      {"-T*2", "call T/0\nmul-const -2\n"},
      {"T*-1", "call T/0\nnegate\n"},
      {"-T*-1", "call T/0\n"},
      {"T+1-1", "call T/0\n"},
      {"T+0.000000001", "call T/0\n"},
      {"T*1.000000001", "call T/0\n"},
      {"1+T+2", "call T/0\nadd-const 3\n"},
      {"T*2*3", "call T/0\nmul-const 6\n"},
      {"T/4", "call T/0\nmul-const 0.25\n"},
      {"2-T", "call T/0\nconst-minus 2\n"},
      {"-T+3", "call T/0\nconst-minus 3\n"},
      {"3-T+1", "call T/0\nconst-minus 4\n"},
      {"1-T-1", "call T/0\nnegate\n"},
      {"0-T", "call T/0\nnegate\n"},
      {"2/T*3", "call T/0\nconst-div 6\n"},
      {"T*U", "call T/0\ncall U/0\nmul\n"},
      {"T-U/T", "call T/0\ncall U/0\ncall T/0\ndiv\nsub\n"},
      {"Power(T,2)", "call T/0\ncall Sqr/1\n"},
      {"Power(2,T)", "push 2\ncall T/0\ncall Power/2\n"},
      {"Lerp(T,1,2)", "call T/0\npush 1\npush 2\ncall Lerp/3\n"},
      {"Rnd*2", "call Rnd/0\nmul-const 2\n"},
      {"QSplineGraph(T,0.42,0,0.58,1)", "call T/0\ncall QSplineGraph-opt(0.42:0;0.58:1)/1\n"},
      {"QSplineGraph(T,1/3,0,U,1)",
       "call T/0\npush 0.33333333333333331\npush 0\ncall U/0\n"
       "push 1\ncall QSplineGraph/5\n"},
  };
  for (const auto& [text, program] : cases) EXPECT_EQ(Program(text), program) << text;
}

TEST(Expression, CompileErrorsLeaveNoProgram) {
  struct TCase {
    std::string text;
    int code;
    const char* expected;
  };
  const TCase cases[] = {
      {"", kCalcExpected, "Expression"},
      {"1+", kCalcExpected, "Expression"},
      {"*2", kCalcExpected, "Expression"},
      {"(T", kCalcExpected, "Operator or \")\""},
      {"T T", kCalcExpected, "Operator"},
      {"T)", kCalcExpected, "Operator"},
      {"Rnd()", kCalcExpected, "Operator"},
      {"Pi()", kCalcExpected, "Operator"},
      {"Sin", kCalcExpected, "("},
      {"Sin T", kCalcExpected, "("},
      {"Sin(1", kCalcExpected, ")"},
      {"Lerp(1,2)", kCalcExpected, ","},
      {"Lerp(1,2,3,4)", kCalcExpected, ")"},
      {"1e", kCalcBadExponent, nullptr},
      {"2E+*T", kCalcBadExponent, nullptr},
      {"1/0", kCalcDivisionByZero, nullptr},
      {"T/0", kCalcDivisionByZero, nullptr},
      {"T/(2-2)", kCalcDivisionByZero, nullptr},
      {"Foo+1", kCalcUnknown, nullptr},
      {"T#2", kCalcUnknown, nullptr},
      {".5*T", kCalcUnknown, nullptr},
      {"T\xC3\xA9", kCalcUnknown, nullptr},
      {"Sqrt(-1)", kCalcConstantFailed, nullptr},
      {"ArcSin(2)", kCalcConstantFailed, nullptr},
      {"1e999", kCalcConstantFailed, nullptr},
      {"1e308*10", kCalcConstantFailed, nullptr},
      {std::string(200, '(') + "T" + std::string(200, ')'), kCalcTooDeep, nullptr},
  };
  for (const TCase& c : cases) {
    TTestNames names;
    TCalcCmdList program;
    ASSERT_TRUE(program.Compile("T+1", &names));
    EXPECT_FALSE(program.Compile(c.text, &names)) << c.text;
    EXPECT_EQ(program.Error().code, c.code) << c.text << ": " << program.Error().Message();
    if (c.expected) {
      EXPECT_EQ(program.Error().text, c.expected) << c.text;
    }
    EXPECT_TRUE(program.Empty());
    TCalcStack stack;
    EXPECT_EQ(program.Run(stack), 0);
  }
  TCalcCmdList program;
  program.Compile("Pi#2", nullptr);
  EXPECT_EQ(program.Error().text, "unknown operator #");
  EXPECT_EQ(program.Error().position, 2u);
}

TEST(Expression, ArithmeticFailureAtRunTimeGivesZero) {
  const char* cases[] = {
      "1/(T-T)",           // division by zero
      "ArcTan(1/(T-T))",   // the run stops at the failure, not at the end
      "Sqrt(T-1)",         // invalid operation
      "ArcCos(T+1)",       //
      "Power(T-0.25,-1)",  //
      "T*1e308*10",        // overflow
      "Round(T*1e300)",    // beyond the integer range
      "Cotan(T-T)",
  };
  for (const char* text : cases) EXPECT_EQ(Eval(text), 0) << text;
  // Small numbers are not failures.
  EXPECT_NEAR(Eval("T*1e-300*1e-300"), 0, 1e-300);
  EXPECT_NEAR(Eval("1e-999+T"), 0.25, 1e-15);
}

TEST(Expression, RndIsDrawnAtEveryRun) {
  TCalcCmdList program;
  ASSERT_TRUE(program.Compile("Rnd"));
  TCalcStack stack;
  std::set<double> seen;
  for (int i = 0; i < 50; ++i) {
    const double v = program.Run(stack);
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 1);
    seen.insert(v);
  }
  EXPECT_GT(seen.size(), 40u);
}

TEST(Expression, NamesOfTheResolverComeBeforeTheRegistry) {
  class TShadow : public TCalcResolver {
    TRef<TCalcFunc> Resolve(std::string_view name) override {
      return name == "Pi" ? MakeRef<TMathConst>("Pi", 3) : nullptr;
    }
  } shadow;
  TCalcCmdList program;
  ASSERT_TRUE(program.Compile("Pi*2", &shadow));
  TCalcStack stack;
  EXPECT_EQ(program.Run(stack), 6);

  RegisterMathFunc(MakeRef<TMathConst>("TheAnswer", 42));
  ASSERT_TRUE(program.Compile("theanswer+1"));
  EXPECT_EQ(program.Run(stack), 43);
}

TEST(Expression, ProgramsCompiledOnSeveralThreadsAgree) {
  // The registry is filled on first use by whichever thread comes first.
  std::vector<std::thread> threads;
  std::vector<double> results(4);
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([i, &results] {
      for (int k = 0; k < 100; ++k) {
        TTestNames names;
        TCalcCmdList program;
        program.Compile("Sin(T)+QSplineGraph(T,0.1,0.2,U/4,0.4)+Power(T,2)", &names);
        TCalcStack stack;
        results[i] = program.Run(stack);
      }
    });
  }
  for (auto& t : threads) t.join();
  for (double r : results) EXPECT_DOUBLE_EQ(r, results[0]);
}

}  // namespace
}  // namespace vyr
