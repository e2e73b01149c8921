// Compiled expressions against an independent evaluator (muparser) on random
// expressions over the operators and functions both languages share.

#include <gtest/gtest.h>
#include <muParser.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "scene/expressions/program.h"

namespace vyr {
namespace {

// The same expression written in both languages.
struct TTwin {
  std::string ours;
  std::string mu;
};

class TExpressionGenerator {
 public:
  explicit TExpressionGenerator(unsigned seed) : rng_(seed) {}

  TTwin Expression(int depth) {
    const int pick = depth <= 0 ? Below(3) : Below(15);
    switch (pick) {
      case 0: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.3f", std::uniform_real_distribution<>(0.1, 9.9)(rng_));
        return {buf, buf};
      }
      case 1:
        return {"T", "T"};
      case 2:
        return {"U", "U"};
      case 3:
      case 4:
      case 5:
      case 6: {
        const char op = "+-*/"[pick - 3];
        TTwin a = Operand(depth - 1), b = Operand(depth - 1);
        return {a.ours + op + b.ours, a.mu + op + b.mu};
      }
      case 7: {
        TTwin a = Operand(depth - 1);
        return {"-" + a.ours, "-" + a.mu};
      }
      case 8:
        return Call1("Sin", "sin", depth);
      case 9:
        return Call1("Cos", "cos", depth);
      case 10:
        return Call1("ArcTan", "atan", depth);
      case 11: {
        TTwin a = Expression(depth - 1);
        return {"Sqrt(Abs(" + a.ours + "))", "sqrt(abs(" + a.mu + "))"};
      }
      case 12: {
        TTwin a = Expression(depth - 1), b = Expression(depth - 1);
        return {"Power(Abs(" + a.ours + ")+0.5," + "Sin(" + b.ours + "))",
                "(abs(" + a.mu + ")+0.5)^(sin(" + b.mu + "))"};
      }
      case 13: {
        TTwin a = Expression(depth - 1), b = Expression(depth - 1);
        return {"ArcTan2(" + a.ours + "," + b.ours + ")", "atan2(" + a.mu + "," + b.mu + ")"};
      }
      default: {
        TTwin a = Expression(depth - 1), b = Expression(depth - 1), t = Expression(depth - 1);
        return {"Lerp(" + a.ours + "," + b.ours + "," + t.ours + ")",
                "((" + a.mu + ")+((" + b.mu + ")-(" + a.mu + "))*(" + t.mu + "))"};
      }
    }
  }

 private:
  int Below(int n) { return std::uniform_int_distribution<>(0, n - 1)(rng_); }

  // An operand of a binary operator: bare when it cannot change the grouping.
  TTwin Operand(int depth) {
    TTwin e = Expression(depth);
    if (e.ours.find_first_of("+-*/") == std::string::npos || Below(4) == 0) return e;
    return {"(" + e.ours + ")", "(" + e.mu + ")"};
  }

  TTwin Call1(const char* ours, const char* mu, int depth) {
    TTwin a = Expression(depth - 1);
    return {std::string(ours) + "(" + a.ours + ")", std::string(mu) + "(" + a.mu + ")"};
  }

  std::mt19937 rng_;
};

class TTwoVariables : public TCalcResolver {
 public:
  TRef<TParamValue> t = MakeRef<TParamValue>("T");
  TRef<TParamValue> u = MakeRef<TParamValue>("U");
  TRef<TCalcFunc> Resolve(std::string_view name) override {
    return name == "T" ? TRef<TCalcFunc>(t) : name == "U" ? TRef<TCalcFunc>(u) : nullptr;
  }
};

TEST(ExpressionReference, RandomExpressionsAgreeWithMuparser) {
  TExpressionGenerator gen(20240611);
  TTwoVariables names;
  double t = 0, u = 0;
  mu::Parser parser;
  parser.DefineVar("T", &t);
  parser.DefineVar("U", &u);
  const double points[][2] = {{0.3, 1.7}, {0.77, 0.2}, {1.5, 3.25}};

  int compared = 0;
  for (int i = 0; i < 600; ++i) {
    const TTwin e = gen.Expression(1 + i % 4);
    TCalcCmdList program;
    ASSERT_TRUE(program.Compile(e.ours, &names)) << e.ours << ": " << program.Error().Message();
    parser.SetExpr(e.mu);
    for (const auto& p : points) {
      // Only well-conditioned cases: finite, moderate, and steady under a tiny nudge.
      t = p[0] * (1 + 1e-7);
      u = p[1] * (1 + 1e-7);
      const double nudged = parser.Eval();
      t = p[0];
      u = p[1];
      const double expected = parser.Eval();
      const double scale = std::max(1.0, std::fabs(expected));
      if (!std::isfinite(expected) || std::fabs(expected) > 1e6 ||
          std::fabs(nudged - expected) > 1e-4 * scale)
        continue;
      names.t->SetValue(t);
      names.u->SetValue(u);
      TCalcStack stack;
      EXPECT_NEAR(program.Run(stack), expected, 1e-9 * scale) << e.ours << "\n" << e.mu;
      ++compared;
    }
  }
  EXPECT_GT(compared, 900);
}

}  // namespace
}  // namespace vyr
