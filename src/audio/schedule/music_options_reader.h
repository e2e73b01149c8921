#pragma once
// Reads the music blocks of a project into composite descriptions: the show-wide music
// (tracks mixed in parallel, items placed one after another with cross-fades, pauses and
// starts linked to slides) and the comment sound of one slide with its clip sounds.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "audio/schedule/play_list.h"

namespace vyr {

class TIniFile;
class TIniObject;
class TCompositeParams;

class TMusicOptionsReader {
 public:
  // For slide comments: no slide starts and no linked items.
  TMusicOptionsReader();
  // Show-wide: reads the slide starts of [Times] and every slide's "LinkedAudio".
  explicit TMusicOptionsReader(const TIniFile& project);

  // The show-wide music of a "Music" block (none: as ReadComment without a comment).
  // Tracks always play in stored order; randomAllowed is accepted and not acted upon.
  void ReadShowMusic(const TIniObject* music, const TExtraMusicItemArray& extras,
                     bool randomAllowed = false);
  // One slide comment (a "TSoundComment" block or none) mixed with the clip sounds.
  void ReadComment(const TIniObject* comment, const TExtraMusicItemArray& extras);

  // The longest a comment may play, ms; <= 0 means no limit.
  void SetCommentLimit(int32_t limit) { commentLimit_ = limit; }

  const std::vector<int32_t>& SlideStarts() const { return slideStarts_; }
  const std::string& ShowDescription() const { return showDescription_; }
  int32_t ShowLength() const { return showLength_; }
  bool IsRepeat() const { return isRepeat_; }
  const std::string& CommentDescription() const { return commentDescription_; }
  int32_t CommentLength() const { return commentLength_; }

  // The start a "LinkedAudio" entry gives an item, or -1 when it has none.
  int64_t LinkedStart(const TIniObject& item) const;

 private:
  void ReadLinks(const TIniFile& project, int slideCount);
  void PlaceTrack(TCompositeParams& params, const std::vector<const TIniObject*>& track,
                  int64_t& cursor) const;

  std::vector<int32_t> slideStarts_{0};
  std::unordered_map<std::string, int> links_;
  int32_t commentLimit_ = 0;
  std::string showDescription_;
  int32_t showLength_ = 0;
  bool isRepeat_ = false;
  std::string commentDescription_;
  int32_t commentLength_ = 0;
};

}  // namespace vyr
