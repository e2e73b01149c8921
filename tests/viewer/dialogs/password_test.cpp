// The password check without a dialog: the comparison, the texts and their defaults, and the
// headless gate's password file.
#include <gtest/gtest.h>

#include "package/package_fixture.h"
#include "project/ini/model.h"
#include "viewer/dialogs/password_check.h"
#include "viewer/dialogs/password_gate.h"

namespace vyr {
namespace {

TRef<TIniFile> Project(const std::string& mainKeys) {
  auto project = MakeRef<TIniFile>();
  project->LoadFromUtf8("[Main]\r\n" + mainKeys);
  return project;
}

TEST(PasswordCheck, ComparesTheWholeTextWithCase) {
  struct Case {
    std::string mainKeys, typed;
    bool allowed;
  };
  const Case cases[] = {
      {"opt_usepass=1\r\nopt_pass=Sesame 42\r\n", "Sesame 42", true},
      {"opt_usepass=1\r\nopt_pass=Sesame 42\r\n", "sesame 42", false},
      {"opt_usepass=1\r\nopt_pass=Sesame 42\r\n", "Sesame", false},
      {"opt_usepass=1\r\nopt_pass=Sesame 42\r\n", "Sesame 42 ", false},
      {"opt_usepass=1\r\nopt_pass=Sesame 42\r\n", "", false},
      {"opt_usepass=1\r\nopt_pass=\r\n", "", true},  // a stored empty password is one
      {"opt_usepass=1\r\nopt_pass=Grüße\r\n", "Grüße", true},
      {"opt_usepass=1\r\nopt_pass=Grüße\r\n", "GRÜSSE", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mainKeys + " typed \"" + c.typed + "\"");
    EXPECT_EQ(PasswordMatches(Project(c.mainKeys).Get(), c.typed), c.allowed);
  }
}

TEST(PasswordCheck, AShowWithoutStoredPasswordRefusesEveryText) {
  const auto project = Project("opt_usepass=1\r\n");
  EXPECT_TRUE(ShowNeedsPassword(project.Get()));
  for (const std::string& typed : std::vector<std::string>{
           "", "password", "0", "opt_pass", std::string(23, 'a'), "12345678901234567890123"})
    EXPECT_FALSE(PasswordMatches(project.Get(), typed)) << typed;
}

TEST(PasswordCheck, OnlyOptUsepassOneAsksForAPassword) {
  EXPECT_FALSE(ShowNeedsPassword(Project("").Get()));
  EXPECT_FALSE(ShowNeedsPassword(Project("opt_usepass=0\r\nopt_pass=x\r\n").Get()));
  EXPECT_FALSE(ShowNeedsPassword(Project("opt_usepass=yes\r\n").Get()));
  EXPECT_TRUE(ShowNeedsPassword(Project("opt_usepass=1\r\n").Get()));
  // A show that asks for none is allowed without any source of a password.
  EXPECT_TRUE(PasswordGate(Project("opt_pass=x\r\n").Get(), {}).allowed);
}

TEST(PasswordCheck, TextsComeFromTheProjectWithDefaults) {
  const TPasswordTexts defaults = PasswordTexts(Project("").Get());
  EXPECT_EQ(defaults.caption, "Password required");
  EXPECT_EQ(defaults.label, "Enter password:");
  EXPECT_EQ(defaults.ok, "OK");
  EXPECT_EQ(defaults.cancel, "Cancel");
  const TPasswordTexts own = PasswordTexts(
      Project("opt_lng_password_caption=Kennwort\r\nopt_lng_password_label=Bitte eingeben:\r\n"
              "opt_lng_button_ok=Gut\r\nopt_lng_button_cancel=Abbrechen\r\n")
          .Get());
  EXPECT_EQ(own.caption, "Kennwort");
  EXPECT_EQ(own.label, "Bitte eingeben:");
  EXPECT_EQ(own.ok, "Gut");
  EXPECT_EQ(own.cancel, "Abbrechen");
}

TEST(PasswordGate, ReadsTheFirstLineOfThePasswordFile) {
  test::TTempDir dir;
  const auto project = Project("opt_usepass=1\r\nopt_pass=Sesame\r\n");
  struct Case {
    std::string content;
    bool allowed;
  };
  const Case cases[] = {
      {"Sesame", true},    {"Sesame\n", true},   {"Sesame\r\n", true},  {"Sesame\nsecond\n", true},
      {"sesame\n", false}, {"Sesame \n", false}, {"\nSesame\n", false}, {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    test::WriteFile(dir / "pass", c.content);
    TPasswordGateOptions options;
    options.passwordFile = dir / "pass";
    const TPasswordGateResult result = PasswordGate(project.Get(), options);
    EXPECT_EQ(result.allowed, c.allowed);
    EXPECT_EQ(result.refusal.empty(), c.allowed);
  }
  TPasswordGateOptions missing;
  missing.passwordFile = dir / "no such file";
  const TPasswordGateResult result = PasswordGate(project.Get(), missing);
  EXPECT_FALSE(result.allowed);
  EXPECT_NE(result.refusal.find("no such file"), std::string::npos) << result.refusal;
}

}  // namespace
}  // namespace vyr
