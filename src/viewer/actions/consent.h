#pragma once
// The viewer's consent: a show is a document, so nothing it asks to start (a program, a
// document, a link, another show outside its folder) starts unless the viewer allowed it, the
// viewer said so once and for all ("always", per show and exact command), the player was told
// to trust every show (--allow-run), or the show is the player's own (appended to its
// executable).

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "viewer/actions/consent_store.h"
#include "viewer/actions/run_commands.h"

namespace vyr {

enum class TRunPolicy {
  Ask,       // the viewer is asked
  AllowAll,  // --allow-run: every start is allowed
  NoRun,     // --no-run: every start is refused
};

enum class TConsentAnswer { DontAllow, AllowOnce, AlwaysAllow };

// What the viewer is asked about.
struct TConsentSubject {
  enum class Kind { Program, Document, Link, Show };
  Kind kind = Kind::Program;
  // A program's argument vector as it starts; the document, link or show otherwise.
  std::vector<std::string> lines;
  std::string realFile;  // a program reached through links: the file that runs
  // What an "always" answer is kept under: the exact argument vector (with the desktop's
  // opener for documents and links), or the show's full path.
  std::vector<std::string> key;
};
TConsentSubject SubjectOf(const TLaunch& launch);
TConsentSubject ShowSubject(const std::string& path);

// The show whose requests are decided.
struct TShowTrust {
  std::string key;           // ShowKeyOf; empty: answers are not remembered
  std::string name;          // as the viewer knows it (its file name)
  std::string folder;        // ends in "/"
  bool selfPlaying = false;  // appended to the player's own executable
};

struct TConsentDecision {
  enum class Verdict { Trusted, Refused, Ask };
  Verdict verdict = Verdict::Ask;
  std::string reason;  // why it is trusted or refused
};

// The decision before any question: trusted for --allow-run, the player's own show, another
// show inside the show's folder (the caller checked it is a package or project) and a
// remembered answer; refused under --no-run; otherwise the viewer is asked.
TConsentDecision DecideConsent(const TConsentSubject& subject, const TShowTrust& show,
                               TRunPolicy policy, bool remembered);

// The question as the dialog shows it.
struct TConsentText {
  std::string caption;  // "Allow the show to ...?"
  std::string heading;  // who asks for what
  std::string details;  // exactly what would start, one item a line
  std::string note;     // a program reached through links, and the warning
};
TConsentText ConsentTextOf(const TConsentSubject& subject, const std::string& showName);
// One argument as the dialog shows it: in double quotes, with backslash, quote, control
// characters and bytes that are not UTF-8 escaped, so that what is seen is exactly what runs.
std::string VisibleArgument(const std::string& argument);

class TConsentGate {
 public:
  // The viewer's answer; none when nobody can be asked (no display).
  using TAsk =
      std::function<std::optional<TConsentAnswer>(const TConsentSubject&, const TShowTrust&)>;
  using TLog = std::function<void(const std::string&)>;

  TConsentGate(TRunPolicy policy, TConsentStore store, TAsk ask, TLog log);

  void SetShow(TShowTrust show) { show_ = std::move(show); }
  const TShowTrust& Show() const { return show_; }
  TRunPolicy Policy() const { return policy_; }

  // Decides, asks when needed, keeps an "always" answer and logs one line per refusal.
  bool Allow(const TConsentSubject& subject);

 private:
  TRunPolicy policy_;
  TConsentStore store_;
  TAsk ask_;
  TLog log_;
  TShowTrust show_;
};

}  // namespace vyr
