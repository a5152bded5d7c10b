#include "library/VYK_GetSystemInfos.h"

#include <gtest/gtest.h>

#include "library/VYK_Registry.h"
#include "platform/runtime/Strings.h"
#include "tests/support/Sandbox.h"

using namespace VYK_GetSystemInfos;

class SystemInfo : public Sandbox {};

TEST_F(SystemInfo, VersionNamesFollowPlatformAndNumbers) {
  auto name = [](long platform, long major, long minor, long build) {
    win32::OSVERSIONINFO v;
    v.dwPlatformId = platform;
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    v.dwBuildNumber = build;
    return WindowsName(v);
  };
  EXPECT_EQ(name(2, 5, 1, 2600), "Windows XP");
  EXPECT_EQ(name(2, 5, 2, 3790), "Windows XP");
  EXPECT_EQ(name(2, 5, 0, 2195), "Windows 2000");
  EXPECT_EQ(name(2, 6, 1, 0), "");
  // on platform 1 only the low 16 bits of the build field count
  EXPECT_EQ(name(1, 4, 0, (4 << 24) | 950), "Windows 95");
  EXPECT_EQ(name(1, 4, 0, 1080), "Windows 95 SP1");
  EXPECT_EQ(name(1, 4, 0, 1111), "Windows 95 OSR2");
  EXPECT_EQ(name(1, 4, 10, (4 << 24) | (10 << 16) | 2222), "Windows 98 SE");
  EXPECT_EQ(name(1, 4, 10, 1998), "Windows 98");
  EXPECT_EQ(name(1, 4, 10, 2000), "Windows 98 SP1");
  EXPECT_EQ(name(1, 4, 10, 100), "");
  EXPECT_EQ(name(1, 4, 90, 3000), "Windows ME");
  EXPECT_EQ(name(3, 2, 11, 0), "Windows CE 2.1");
  EXPECT_EQ(name(7, 1, 0, 0), "Unable To Get Windows Version");
}

TEST_F(SystemInfo, UserAndCompanyAreUpperCaseWithFallbacks) {
  GetPCInfos();
  EXPECT_FALSE(UserID.empty());
  EXPECT_EQ(UserID, rt::UCase(UserID));
  // the store is new: the organisation is seeded empty
  EXPECT_EQ(CompanyID, "NONE");
  EXPECT_EQ(ErrorLog(), "");

  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\RegisteredOrganization",
                          "  Acme Trading  ");
  GetPCInfos();
  EXPECT_EQ(CompanyID, "ACME TRADING");

  VYK_Registry::CreateKey("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\RegisteredOrganization",
                          "HKEY_LOCAL_MACHINE\\junk");
  GetPCInfos();
  EXPECT_EQ(CompanyID, "NONE");
}

TEST_F(SystemInfo, AMissingOrganisationIsLoggedByTheRegistryRead) {
  std::string path = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\RegisteredOrganization";
  VYK_Registry::DeleteKey(path);
  GetPCInfos();
  EXPECT_EQ(CompanyID, "NONE");
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("ReadKey of Modul VYK_Registry"), std::string::npos);
  EXPECT_EQ(lines[1], path);
}

TEST_F(SystemInfo, ClipNullRemovesEveryNul) {
  EXPECT_EQ(ClipNull(std::string("ab\0c\0\0", 6)), "abc");
  EXPECT_EQ(ClipNull("plain"), "plain");
  EXPECT_EQ(GetUser().size(), 25u);
}
