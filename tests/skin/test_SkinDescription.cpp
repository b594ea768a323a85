// The skin's description on its own: loading a folder again, and the "Cmd"
// keys read as the file stands at each layout pass.
#include "SkinDescription.h"

#include "Gdi.h"
#include "SkinFolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace ModAPI;

namespace {

TEST(SkinDescription, ANewDescriptionHoldsNothing) {
  const SkinDescription description;
  EXPECT_EQ(description.values(), SkinValues{});
  EXPECT_FALSE(description.pictures().MainDC);
  EXPECT_TRUE(description.skinPath().isEmpty());
}

// Loading again replaces the pictures' surfaces instead of adding some, and
// the description's teardown leaves none behind.
TEST(SkinDescription, LoadingAgainReplacesThePictures) {
  const GdiObjectCounts before = LiveGdiObjects();
  {
    SkinFolder folder;
    folder.writeSkin("[Main]\r\nTopLeft=8\r\n");
    SkinDescription description;
    description.load(folder.name());
    const GdiObjectCounts loaded = LiveGdiObjects();
    EXPECT_EQ(loaded.deviceContexts - before.deviceContexts, 3);
    folder.writeIni("[Main]\r\nTopLeft=9\r\n");
    ASSERT_TRUE(QFile::remove(folder.path("bkg.jpg")));
    description.load(folder.name());
    EXPECT_EQ(LiveGdiObjects().deviceContexts, loaded.deviceContexts - 1) << "no background";
    EXPECT_FALSE(description.pictures().HasBack);
    EXPECT_EQ(description.values().Slices.TopLeft, 9);
    description.releasePictures();
    EXPECT_EQ(LiveGdiObjects().deviceContexts, before.deviceContexts);
    EXPECT_EQ(description.pictures().MainWidth, 60) << "the sizes stay";
  }
  EXPECT_EQ(LiveGdiObjects().bitmaps, before.bitmaps);
}

TEST(SkinDescription, TheCmdKeysAreReadAsTheFileStandsNow) {
  SkinFolder folder;
  folder.writeSkin("[Main]\r\nCmd.Height=20\r\nCmd.Left=-4.5\r\n");
  SkinDescription description;
  description.load(folder.name());
  CmdKeyTexts read = description.readCmdKeys();
  EXPECT_EQ(read.CmdHeight, 20);
  EXPECT_EQ(read.CmdLeft, -4.5);
  EXPECT_EQ(read.CmdWidth, std::nullopt);
  folder.writeIni("[Main]\r\nCmd.Height=tall\r\nCmd.Width=28\r\n");
  read = description.readCmdKeys();
  EXPECT_EQ(read.CmdHeight, std::nullopt);
  EXPECT_EQ(read.CmdWidth, 28);
}

}  // namespace
