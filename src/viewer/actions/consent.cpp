#include "viewer/actions/consent.h"

#include <glib.h>

#include <cstdio>

#include "package/access/path_resolver.h"

namespace vyr {
namespace {

// Characters that change how the text around them reads (bidirectional overrides, invisible
// joiners): shown by their number.
bool IsDeceptive(gunichar c) {
  return (c >= 0x80 && c <= 0x9F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF;
}

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

std::string Joined(const std::vector<std::string>& lines, const char* separator) {
  std::string out;
  for (const std::string& line : lines) {
    if (!out.empty()) out += separator;
    out += VisibleArgument(line);
  }
  return out;
}

const char* KindWords(TConsentSubject::Kind kind) {
  switch (kind) {
    case TConsentSubject::Kind::Program:
      return "start the program";
    case TConsentSubject::Kind::Document:
      return "open the document";
    case TConsentSubject::Kind::Link:
      return "open the link";
    case TConsentSubject::Kind::Show:
      return "open the show";
  }
  return "";
}

}  // namespace

std::string VisibleArgument(const std::string& argument) {
  std::string out = "\"";
  const char* p = argument.data();
  const char* end = p + argument.size();
  while (p < end) {
    const auto byte = static_cast<unsigned char>(*p);
    if (byte < 0x80) {
      switch (byte) {
        case '\\':
          out += "\\\\";
          break;
        case '"':
          out += "\\\"";
          break;
        case '\t':
          out += "\\t";
          break;
        case '\n':
          out += "\\n";
          break;
        case '\r':
          out += "\\r";
          break;
        default:
          if (byte < 0x20 || byte == 0x7F)
            out += "\\x" + Hex(byte, 2);
          else
            out += static_cast<char>(byte);
      }
      ++p;
      continue;
    }
    const gunichar c = g_utf8_get_char_validated(p, end - p);
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
      out += "\\x" + Hex(byte, 2);
      ++p;
      continue;
    }
    const char* next = g_utf8_next_char(p);
    if (IsDeceptive(c))
      out += "\\u{" + Hex(c, 4) + "}";
    else
      out.append(p, next);
    p = next;
  }
  return out + "\"";
}

TConsentSubject SubjectOf(const TLaunch& launch) {
  TConsentSubject subject;
  subject.key = launch.argv;
  switch (launch.kind) {
    case TLaunch::Kind::Program:
      subject.kind = TConsentSubject::Kind::Program;
      subject.lines = launch.argv;
      subject.realFile = launch.realFile;
      break;
    case TLaunch::Kind::Document:
      subject.kind = TConsentSubject::Kind::Document;
      subject.lines = {launch.target};
      break;
    case TLaunch::Kind::Link:
      subject.kind = TConsentSubject::Kind::Link;
      subject.lines = {launch.target};
      break;
  }
  return subject;
}

TConsentSubject ShowSubject(const std::string& path) {
  TConsentSubject subject;
  subject.kind = TConsentSubject::Kind::Show;
  subject.lines = {path};
  // Another show is never an argument vector: argv[0] is always a full path.
  subject.key = {"show", path};
  return subject;
}

TConsentDecision DecideConsent(const TConsentSubject& subject, const TShowTrust& show,
                               TRunPolicy policy, bool remembered) {
  using V = TConsentDecision::Verdict;
  if (policy == TRunPolicy::AllowAll) return {V::Trusted, "--allow-run"};
  if (subject.kind == TConsentSubject::Kind::Show && !subject.lines.empty() &&
      !show.folder.empty() && IsInsideFolder(subject.lines.front(), show.folder))
    return {V::Trusted, "inside the show's folder"};
  if (policy == TRunPolicy::NoRun) return {V::Refused, "started with --no-run"};
  if (show.selfPlaying) return {V::Trusted, "the show is the player's own"};
  if (remembered) return {V::Trusted, "always allowed for this show"};
  return {V::Ask, {}};
}

TConsentText ConsentTextOf(const TConsentSubject& subject, const std::string& showName) {
  TConsentText text;
  const std::string who = VisibleArgument(showName);
  switch (subject.kind) {
    case TConsentSubject::Kind::Program:
      text.caption = "Allow the show to start a program?";
      text.heading = "The show " + who + " asks to start this program, with these arguments:";
      break;
    case TConsentSubject::Kind::Document:
      text.caption = "Allow the show to open a document?";
      text.heading = "The show " + who + " asks to open this file in the program for it:";
      break;
    case TConsentSubject::Kind::Link:
      text.caption = "Allow the show to open a link?";
      text.heading = "The show " + who + " asks to open this link:";
      break;
    case TConsentSubject::Kind::Show:
      text.caption = "Allow the show to open another show?";
      text.heading = "The show " + who + " asks to open this show from outside its folder:";
      break;
  }
  text.details = Joined(subject.lines, "\n");
  if (!subject.realFile.empty())
    text.note = "The program file is a link to " + VisibleArgument(subject.realFile) + ".\n";
  text.note += "A show is a file like any other document: allow only what you expect it to do.";
  return text;
}

TConsentGate::TConsentGate(TRunPolicy policy, TConsentStore store, TAsk ask, TLog log)
    : policy_(policy), store_(std::move(store)), ask_(std::move(ask)), log_(std::move(log)) {}

bool TConsentGate::Allow(const TConsentSubject& subject) {
  const auto refuse = [&](const std::string& reason) {
    if (log_)
      log_(std::string("refused to ") + KindWords(subject.kind) + " " + Joined(subject.lines, " ") +
           ": " + reason);
    return false;
  };
  const bool remembered = store_.Allowed(show_.key, subject.key);
  const TConsentDecision decision = DecideConsent(subject, show_, policy_, remembered);
  if (decision.verdict == TConsentDecision::Verdict::Trusted) return true;
  if (decision.verdict == TConsentDecision::Verdict::Refused) return refuse(decision.reason);
  const std::optional<TConsentAnswer> answer =
      ask_ ? ask_(subject, show_) : std::optional<TConsentAnswer>();
  if (!answer) return refuse("no display to ask on");
  switch (*answer) {
    case TConsentAnswer::DontAllow:
      return refuse("not allowed");
    case TConsentAnswer::AllowOnce:
      return true;
    case TConsentAnswer::AlwaysAllow:
      if (std::string error; !store_.Remember(show_.key, subject.key, &error) && log_)
        log_("the answer is not kept: " + error);
      return true;
  }
  return false;
}

}  // namespace vyr
