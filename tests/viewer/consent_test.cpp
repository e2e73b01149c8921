// The viewer's consent: every hostile command a show may carry meets the refusal or the
// question (and nothing starts on "Don't allow"), the policies, the remembered answers and the
// show's key, and how the question shows what would start.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "package/access_fixture.h"
#include "package/package_fixture.h"
#include "viewer/actions/consent.h"
#include "viewer/actions/show_key.h"

namespace vyr {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

void MakeExecutable(const std::string& path) {
  test::WriteFile(path, "#!/bin/sh\n");
  ::chmod(path.c_str(), 0755);
}

struct TRecordingStarter : TProgramStarter {
  std::vector<Strings> calls;
  TStartResult Start(const TLaunch& launch) override {
    calls.push_back(launch.argv);
    return TStartResult::Started;
  }
};

// A show folder beside a folder of stand-ins for the interpreters a show might name, the
// desktop's opener among them; the gate asks a viewer who answers as told and records what
// it was asked.
class Consent : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeExecutable(show_ / "tool");
    test::WriteFile(show_ / "notes.txt", "notes");
    test::WriteFile(outside_ / "secret.txt", "secret");
    MakeExecutable(outside_ / "tool");
    for (const char* name : {"perl", "python3", "env", "find", "busybox", "xdg-open"})
      MakeExecutable(bin_ / name);
    fs::create_symlink(bin_ / "busybox", show_ / "sneaky");
    fs::create_symlink("/bin/sh", show_ / "shell");
    fs::create_symlink(outside_ / "secret.txt", show_ / "linked.txt");
    trust_.key = "package:1";
    trust_.name = "show.vyshow";
    trust_.folder = Folder();
  }
  std::string Folder() const { return show_.Path().string() + "/"; }

  TConsentGate Gate(TRunPolicy policy = TRunPolicy::Ask) {
    TConsentGate gate(
        policy, TConsentStore(config_ / "vyrviewer/allowed-commands"),
        [this](const TConsentSubject& subject, const TShowTrust&) -> std::optional<TConsentAnswer> {
          asked_.push_back(subject);
          return answer_;
        },
        [this](const std::string& line) { log_.push_back(line); });
    gate.SetShow(trust_);
    return gate;
  }
  // Runs the command through the gate; the refusal message, if any.
  std::string Run(TConsentGate& gate, const std::string& command) {
    std::string refusal;
    TRunHooks hooks;
    hooks.refuse = [&](const std::string& m) { refusal = m; };
    hooks.allow = [&](const TLaunch& launch) { return gate.Allow(SubjectOf(launch)); };
    RunCommands(command, Folder(), starter_, hooks);
    return refusal;
  }

  test::TTempDir show_, outside_, bin_, config_;
  test::TScopedEnv path_{"PATH", bin_.Path().string()};
  TShowTrust trust_;
  std::optional<TConsentAnswer> answer_ = TConsentAnswer::DontAllow;
  std::vector<TConsentSubject> asked_;
  std::vector<std::string> log_;
  TRecordingStarter starter_;
};

TEST_F(Consent, EveryHostileCommandMeetsTheRefusalOrTheQuestion) {
  const std::string tool = show_ / "tool", opener = bin_ / "xdg-open";
  const struct {
    std::string command;
    Strings asked;  // the question's lines; empty: refused with the message
  } cases[] = {
      // Interpreters and commands that run what they are given.
      {"perl -e \"system('id')\"", {bin_ / "perl", "-e system('id')"}},
      {"python3 -c import\tos", {bin_ / "python3", "-c", "import", "os"}},
      {"env X=1 id", {bin_ / "env", "X=1", "id"}},
      {"find / -delete", {bin_ / "find", "/", "-delete"}},
      {"busybox rm -rf /", {bin_ / "busybox", "rm", "-rf", "/"}},
      {"sneaky rm -rf /", {show_ / "sneaky", "rm", "-rf", "/"}},
      // Shells, blocked words and links to them.
      {"sh -c id", {}},
      {"/bin/bash -c id", {}},
      {"shell -c id", {}},
      {"tool > out", {}},
      {"tool x, rm -rf ~", {}},
      // Shell metacharacters and quotes stay literal arguments.
      {"tool ;rm -rf ~", {tool, ";rm", "-rf", "~"}},
      {"tool $(id) `id` && x | y", {tool, "$(id)", "`id`", "&&", "x", "|", "y"}},
      {"\"tool\" \"a b\"", {tool, "a b"}},
      {"tool a\tb", {tool, "a", "b"}},
      // Schemes: web and mail links only; "file:" is a document of the show's folder.
      {"javascript:alert(1)", {}},
      {"vbscript:msgbox", {}},
      {"ms-settings:display", {}},
      {"steam://run/1", {}},
      {"smb://host/share", {}},
      {"file:///etc/passwd", {}},
      {"file://otherhost/notes.txt", {}},
      {"file:notes.txt", {show_ / "notes.txt"}},
      {"HTTP://example.invalid/a", {"HTTP://example.invalid/a"}},
      {"mailto:someone@example.invalid", {"mailto:someone@example.invalid"}},
      // Documents outside the folder, by "..", by an absolute path or through a link.
      {"notes.txt", {show_ / "notes.txt"}},
      {"../" + outside_.Path().filename().string() + "/secret.txt", {}},
      {outside_ / "secret.txt", {}},
      {"linked.txt", {}},
      // A program outside the folder is asked about like any other.
      {"../" + outside_.Path().filename().string() + "/tool", {outside_ / "tool"}},
  };
  TConsentGate gate = Gate();
  for (const auto& c : cases) {
    asked_.clear();
    const std::string refusal = Run(gate, c.command);
    if (c.asked.empty()) {
      EXPECT_EQ(refusal, kProhibitedCommandMessage) << c.command;
      EXPECT_TRUE(asked_.empty()) << c.command;
    } else {
      EXPECT_EQ(refusal, "") << c.command;
      ASSERT_EQ(asked_.size(), 1u) << c.command;
      EXPECT_EQ(asked_[0].lines, c.asked) << c.command;
    }
  }
  EXPECT_TRUE(starter_.calls.empty());
  // A link or document starts the opener with exactly it; a link elsewhere is named.
  asked_.clear();
  Run(gate, "sneaky x");
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].realFile, bin_ / "busybox");
  answer_ = TConsentAnswer::AllowOnce;
  Run(gate, "file:notes.txt");
  Run(gate, "mailto:someone@example.invalid");
  EXPECT_EQ(starter_.calls, (std::vector<Strings>{{opener, show_ / "notes.txt"},
                                                  {opener, "mailto:someone@example.invalid"}}));
}

// --allow-run and the player's own show start without a question; --no-run and a viewer who
// cannot be asked refuse, one log line each; "always" is kept per show and exact command.
TEST_F(Consent, PoliciesAndRememberedAnswers) {
  const Strings run{show_ / "tool", "x"};
  const struct {
    TRunPolicy policy;
    bool selfPlaying;
    std::optional<TConsentAnswer> answer;
    bool started, asked;
    const char* logged;  // a part of the one log line; empty: none
  } cases[] = {
      {TRunPolicy::AllowAll, false, TConsentAnswer::DontAllow, true, false, ""},
      {TRunPolicy::Ask, true, TConsentAnswer::DontAllow, true, false, ""},
      {TRunPolicy::NoRun, false, TConsentAnswer::AllowOnce, false, false, "--no-run"},
      {TRunPolicy::NoRun, true, TConsentAnswer::AllowOnce, false, false, "--no-run"},
      {TRunPolicy::Ask, false, std::nullopt, false, true, "no display"},
      {TRunPolicy::Ask, false, TConsentAnswer::DontAllow, false, true, "not allowed"},
      {TRunPolicy::Ask, false, TConsentAnswer::AllowOnce, true, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.policy) << c.selfPlaying);
    trust_.selfPlaying = c.selfPlaying;
    answer_ = c.answer;
    asked_.clear();
    log_.clear();
    starter_.calls.clear();
    TConsentGate gate = Gate(c.policy);
    Run(gate, "tool x");
    EXPECT_EQ(starter_.calls, c.started ? std::vector<Strings>{run} : std::vector<Strings>{});
    EXPECT_EQ(asked_.size(), c.asked ? 1u : 0u);
    ASSERT_EQ(log_.size(), *c.logged ? 1u : 0u);
    if (*c.logged) {
      EXPECT_NE(log_[0].find(c.logged), std::string::npos) << log_[0];
      EXPECT_NE(log_[0].find("\"x\""), std::string::npos) << log_[0];
    }
  }
  trust_.selfPlaying = false;
  TConsentGate gate = Gate();
  answer_ = TConsentAnswer::AllowOnce;  // once is once: asked again
  asked_.clear();
  Run(gate, "tool x");
  Run(gate, "tool x");
  EXPECT_EQ(asked_.size(), 2u);
  answer_ = TConsentAnswer::AlwaysAllow;  // kept: the same command of the same show runs
  Run(gate, "tool x");
  answer_ = TConsentAnswer::DontAllow;
  asked_.clear();
  starter_.calls.clear();
  Run(gate, "tool x");
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(starter_.calls, std::vector<Strings>{run});
  Run(gate, "tool y");  // another argument is another command
  EXPECT_EQ(asked_.size(), 1u);
  trust_.key = "package:2";  // the show changed
  TConsentGate changed = Gate();
  Run(changed, "tool x");
  EXPECT_EQ(asked_.size(), 2u);
  EXPECT_EQ(starter_.calls.size(), 1u);
}

TEST_F(Consent, OtherShowsInsideTheFolderOpenWithoutAQuestion) {
  fs::create_directories(show_ / "more");
  fs::create_symlink(outside_.Path(), show_ / "out");
  const struct {
    std::string path;
    bool asks;
  } cases[] = {
      {show_ / "second.vyshow", false},         {show_ / "more/third.vyshow", false},
      {show_ / "more/../fourth.vyshow", false}, {show_ / "../x.vyshow", true},
      {show_ / "out/y.vyshow", true},           {outside_ / "z.vyshow", true},
  };
  for (TRunPolicy policy : {TRunPolicy::Ask, TRunPolicy::NoRun}) {
    TConsentGate gate = Gate(policy);
    for (const auto& c : cases) {
      asked_.clear();
      log_.clear();
      EXPECT_EQ(gate.Allow(ShowSubject(c.path)), !c.asks) << c.path;
      const bool asked = policy == TRunPolicy::Ask && c.asks;
      EXPECT_EQ(asked_.size(), asked ? 1u : 0u) << c.path;
      EXPECT_EQ(log_.size(), c.asks ? 1u : 0u) << c.path;
    }
  }
}

TEST_F(Consent, AnswersAreKeptExactlyAndWrittenWhole) {
  const std::string file = config_ / "vyrviewer/allowed-commands";
  TConsentStore store(file);
  const Strings command{"/p", "a\tb", "c\nd", "e\\tf", ""};
  EXPECT_FALSE(store.Allowed("k", command));
  ASSERT_TRUE(store.Remember("k", command));
  ASSERT_TRUE(store.Remember("k", command));  // once is enough
  ASSERT_TRUE(store.Remember("k", {"/q"}));
  TConsentStore again(file);
  EXPECT_TRUE(again.Allowed("k", command));
  EXPECT_TRUE(again.Allowed("k", {"/q"}));
  for (const Strings& other :
       {Strings{"/p", "a\tb", "c\nd", "e\\tf"}, Strings{"/p", "a", "b", "c\nd", "e\\tf", ""},
        Strings{"/p", "a\\tb", "c\nd", "e\\tf", ""}})
    EXPECT_FALSE(again.Allowed("k", other));
  EXPECT_FALSE(again.Allowed("other", command));
  EXPECT_FALSE(again.Allowed("", command));
  // Two lines, the file the user's own, and no temporary file left beside it.
  const std::string text = test::ReadFile(file);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(std::distance(fs::directory_iterator(config_ / "vyrviewer"), fs::directory_iterator()),
            1);
  // A place that cannot be written keeps nothing and says why.
  test::WriteFile(config_ / "plain", "x");
  TConsentStore blocked(config_ / "plain/allowed-commands");
  std::string error;
  EXPECT_FALSE(blocked.Remember("k", command, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(blocked.Allowed("k", command));
  {
    test::TScopedEnv xdg("XDG_CONFIG_HOME", config_.Path().string());
    EXPECT_EQ(TConsentStore::DefaultPath(), config_ / "vyrviewer/allowed-commands");
  }
  test::TScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
  test::TScopedEnv home("HOME", "/home/someone");
  EXPECT_EQ(TConsentStore::DefaultPath(), "/home/someone/.config/vyrviewer/allowed-commands");
}

// The key follows the show's bytes, not its path.
TEST_F(Consent, TheShowsKeyFollowsItsContentNotItsPath) {
  const std::string a = show_ / "a.vyshow", copy = outside_ / "copy.vyshow",
                    changed = show_ / "b.vyshow";
  test::WritePackage(a, {{"Project.vyr", "[Main]\r\nopt_runapponexitfn=tool\r\n"}});
  fs::copy_file(a, copy);
  test::WritePackage(changed, {{"Project.vyr", "[Main]\r\nopt_runapponexitfn=tool2\r\n"}});
  const std::string key = ShowKeyOf(a, true);
  EXPECT_EQ(key.size(), std::string("package:").size() + 64);
  EXPECT_EQ(ShowKeyOf(copy, true), key);
  EXPECT_NE(ShowKeyOf(changed, true), key);
  test::WriteFile(show_ / "p.vyr", "[Main]\r\nx=1\r\n");
  test::WriteFile(outside_ / "p.vyr", "[Main]\r\nx=1\r\n");
  const std::string project = ShowKeyOf(show_ / "p.vyr", false);
  EXPECT_EQ(project.rfind("project:", 0), 0u);
  EXPECT_EQ(ShowKeyOf(outside_ / "p.vyr", false), project);
  test::WriteFile(outside_ / "p.vyr", "[Main]\r\nx=2\r\n");
  EXPECT_NE(ShowKeyOf(outside_ / "p.vyr", false), project);
  EXPECT_EQ(ShowKeyOf(show_ / "missing.vyshow", true), "");
  EXPECT_EQ(ShowKeyOf(show_ / "notes.txt", true), "");
}

TEST(ConsentText, ShowsEachArgumentExactly) {
  const struct {
    std::string argument, shown;
  } cases[] = {
      {"plain", "\"plain\""},
      {"two words", "\"two words\""},
      {"", "\"\""},
      {"a\tb\nc\rd", "\"a\\tb\\nc\\rd\""},
      {"say \"hi\" \\o/", "\"say \\\"hi\\\" \\\\o/\""},
      {"bell\x07", "\"bell\\x07\""},
      {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
      {"bad\xFF", "\"bad\\xFF\""},
      {"txt.\xE2\x80\xAE"
       "exe",
       "\"txt.\\u{202E}exe\""},  // a right-to-left override
  };
  for (const auto& c : cases) EXPECT_EQ(VisibleArgument(c.argument), c.shown);
  TConsentSubject subject;
  subject.lines = {"/usr/bin/perl", "-e", "x"};
  subject.realFile = "/usr/bin/perl5";
  const TConsentText text = ConsentTextOf(subject, "holiday.vyshow");
  EXPECT_EQ(text.caption, "Allow the show to start a program?");
  EXPECT_NE(text.heading.find("\"holiday.vyshow\""), std::string::npos);
  EXPECT_EQ(text.details, "\"/usr/bin/perl\"\n\"-e\"\n\"x\"");
  EXPECT_NE(text.note.find("\"/usr/bin/perl5\""), std::string::npos);
}

}  // namespace
}  // namespace vyr
