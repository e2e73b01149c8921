// The loader's preparation asks a new slide's video objects for their first frames, so they
// are decoded before the slide is shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "clip_fixtures.h"
#include "package/access/show_opener.h"
#include "player/loader/slide_loader.h"
#include "player/loader/slide_producer.h"
#include "render/compose/t3d_drawer.h"
#include "scene/objects/vyr_video.h"
#include "video/clip_playback.h"

namespace vyr {
namespace {

TVyrVideo* FindVideo(TVyrObject& object) {
  if (auto* video = dynamic_cast<TVyrVideo*>(&object)) return video;
  for (int i = 0; i < object.ChildCount(); ++i)
    if (TVyrVideo* found = FindVideo(*object.Child(i))) return found;
  return nullptr;
}

TEST(LoaderPreload, TheFirstFramesOfANewSlideAreDecodedAhead) {
  InstallVideoClips();
  test::TTempDir dir;
  ASSERT_TRUE(test::MakeClip(dir / "show/clip.mkv", 50, "25", "-c:v libx264 -pix_fmt yuv420p"));
  test::WriteFile(dir / "show/Project.vyr",
                  "[Main]\nopt_scr_width=160\nopt_scr_height=96\n"
                  "[Times]\nopt_slidescount=1\nopt_synchpos1=4000\n"
                  "[Slide1]\nobject Root:Root\nobject v:Video\n"
                  "GUID={00000000-0000-0000-0000-0000000000A1}\nFileName=clip.mkv\n"
                  "StartVideoTime=400\nend\nend\n");
  const TOpenedShow show = OpenShow(dir / "show/Project.vyr");
  ASSERT_TRUE(show.Ok()) << show.error;
  auto source = MakeRef<TVyrSource>(show.project);
  auto producer = MakeRef<TSlideProducer>(source, MakeShowHost(*source, show.accessor));
  auto loader = MakeRef<TVyrSlideLoader>(source, producer, 3, TIntSize{160, 96});
  auto drawer = MakeRef<T3DDrawer>();  // pictures only: nothing is drawn
  TRef<TDrawContainer> prepared;
  loader->SetContainerCreated([&](TDrawContainer& container) {
    container.Preload(*drawer, false);
    if (container.slide && FindVideo(*container.slide))
      prepared = TRef<TDrawContainer>::Share(&container);
  });
  for (int step = 0; step < 5 && !prepared; ++step) loader->Step();
  ASSERT_TRUE(prepared);
  TVyrVideo* video = FindVideo(*prepared->slide);
  ASSERT_TRUE(video);
  auto* playback = dynamic_cast<TClipPlayback*>(video->Playback());
  ASSERT_TRUE(playback);
  TVyrVideoExtractor* extractor = playback->Wrapper().Extractor();
  ASSERT_TRUE(extractor);
  // Frame 10 (400 ms into the clip) arrives without anybody drawing or waiting for it.
  std::vector<int> pool;
  for (int k = 0; k < 500; ++k) {
    pool = extractor->PoolIndexes();
    if (std::find(pool.begin(), pool.end(), 10) != pool.end()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_NE(std::find(pool.begin(), pool.end(), 10), pool.end());
  EXPECT_EQ(pool.size(), 2u);
}

}  // namespace
}  // namespace vyr
