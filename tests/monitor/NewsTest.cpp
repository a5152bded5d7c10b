#include <gtest/gtest.h>

#include "monitor/Tollerwick_Main.h"
#include "monitor/Tollerwick_Sub.h"
#include "monitor/frmMain_Tollerwick.h"
#include "tests/monitor/MonitorSandbox.h"

using Tollerwick_Main::MainForm;
using namespace Tollerwick_Sub;

class News : public MonitorSandbox {
 protected:
  std::string NewsFile() const { return home + "/download/News100.vyk"; }
  void SetUp() override {
    MonitorSandbox::SetUp();
    NewsTable = {};
    NewsCount = 0;
  }
};

TEST_F(News, ANewsFileLeftByTheLastRunIsShownAtTheStart) {
  WriteFile(NewsFile(), "vyk news of 12/06/26\r\n 2 \r\nMarkets open \r\nhigher.\r\n###\r\nOne line item\r\n###\r\n");
  ASSERT_TRUE(RunMain());
  EXPECT_EQ(NewsCount, 2);
  EXPECT_EQ(NewsTable[0], "VYK News -- 12/06/26\r\nMarkets open higher.");
  EXPECT_EQ(NewsTable[1], "VYK News -- 12/06/26\r\nOne line item");
  EXPECT_EQ(MainForm->RtbNews1.Text(), NewsTable[0]);
}

TEST_F(News, AnItemInASingleByteCodePageIsShownReadable) {
  WriteFile(NewsFile(), "vyk news of 12/06/26\r\n1\r\nM\xFCller AG \x93steigt\x94 um 5 \x80\r\n###\r\n");
  ASSERT_TRUE(RunMain());
  // kept as it came, shown in Windows-1252
  EXPECT_EQ(NewsTable[0], "VYK News -- 12/06/26\r\nM\xFCller AG \x93steigt\x94 um 5 \x80");
  EXPECT_EQ(MainForm->RtbNews1.Text(),
            "VYK News -- 12/06/26\r\nM\xC3\xBCller AG \xE2\x80\x9Csteigt\xE2\x80\x9D um 5 \xE2\x82\xAC");
}

TEST_F(News, AFileThatIsNotANewsListIsToldAndKeepsTheOldItems) {
  ASSERT_TRUE(RunMain());
  NewsTable[0] = "old item";
  WriteFile(NewsFile(), "<html>Service unavailable</html>\r\n1\r\nx\r\n###\r\n");
  MainForm->Load_News();
  EXPECT_EQ(MainForm->RtbNews1.Text(), "Error in News Download");
  EXPECT_EQ(NewsTable[0], "old item");
  WriteFile(NewsFile(), "vyk 12/06/26\r\nmany\r\n");
  MainForm->RtbNews1.SetText("");
  MainForm->Load_News();
  EXPECT_EQ(MainForm->RtbNews1.Text(), "Error in News Download");
  // an empty file changes nothing and tells nothing
  WriteFile(NewsFile(), "");
  MainForm->RtbNews1.SetText("shown");
  MainForm->Load_News();
  EXPECT_EQ(MainForm->RtbNews1.Text(), "shown");
  EXPECT_EQ(ErrorLog().find("Load_News"), std::string::npos);
}

TEST_F(News, AnItemCutShortIsLoggedAndTheItemsBeforeItStay) {
  ASSERT_TRUE(RunMain());
  WriteFile(NewsFile(), "vyk 12/06/26\r\n3\r\nfirst\r\n###\r\nsecond without end\r\n");
  MainForm->Load_News();
  EXPECT_EQ(NewsCount, 3);
  EXPECT_EQ(NewsTable[0], "VYK News -- 12/06/26\r\nfirst");
  EXPECT_NE(ErrorLog().find("Load_News of Formular frmMain_Tollerwick  0  62  Input past end of file"),
            std::string::npos);
}

TEST_F(News, AnOverlongItemIsCutAndTheItemsAfterItStillRead) {
  ASSERT_TRUE(RunMain());
  // 300,000 characters over three lines, the last character of the kept part one of two bytes
  const std::string line(100000, 'x');
  WriteFile(NewsFile(), "vyk 12/06/26\r\n2\r\n" + std::string(1999, 'y') + "\xC3\xA9" + line + "\r\n" + line + "\r\n" +
                            line + "\r\n###\r\nsecond\r\n###\r\n");
  MainForm->Load_News();
  EXPECT_EQ(NewsCount, 2);
  const std::string heading = "VYK News -- 12/06/26\r\n";
  EXPECT_EQ(NewsTable[0], heading + std::string(1999, 'y') + " ...");
  EXPECT_EQ(NewsTable[1], heading + "second");
  // an item of ordinary length is kept whole
  const std::string item(2000, 'z');
  WriteFile(NewsFile(), "vyk 12/06/26\r\n1\r\n" + item.substr(0, 1200) + "\r\n" + item.substr(1200) + "\r\n###\r\n");
  MainForm->Load_News();
  EXPECT_EQ(NewsTable[0], heading + item);
  EXPECT_EQ(ErrorLog().find("Load_News"), std::string::npos);
}

TEST_F(News, BeforeAnyBannerIsKnownTheNewsStaysAndTheBannerOpensTheMakersHomePage) {
  BannerTable = {};
  BannerCount = 0;
  ASSERT_TRUE(RunMain());
  TakeOpened();
  MainForm->Image2_Click();
  EXPECT_EQ(TakeOpened(), std::vector<std::string>{"http://www.vyk.example/"});

  NewsTable[0] = "item 0";
  NewsTable[1] = "item 1";
  NewsCount = 2;
  MainForm->RtbNews1.SetText("shown");
  MainForm->RotateBanner();
  MainForm->RotateBanner();
  EXPECT_EQ(MainForm->RtbNews1.Text(), "shown");
  EXPECT_EQ(NewsIndex, 0);
  // an index left beyond a shorter list is still wrapped
  NewsIndex = 5;
  MainForm->RotateBanner();
  EXPECT_EQ(NewsIndex, 0);
}
