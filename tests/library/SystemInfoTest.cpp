#include "library/VYK_GetSystemInfos.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>

#include "library/VYK_Registry.h"
#include "platform/runtime/Strings.h"
#include "tests/support/Sandbox.h"

using namespace VYK_GetSystemInfos;

class SystemInfo : public Sandbox {
 protected:
  // The user ID that GetPCInfos finds for a user whom the user database does not know, whose name is
  // `user` in the environment (none: no USER at all). It runs in a process of its own, in a user namespace
  // where the process's user has no entry. Nothing when this system gives no process such a user.
  static std::optional<std::string> UserIDOf(const std::optional<std::string>& user) {
    int answer[2];
    if (::pipe(answer) != 0) return std::nullopt;
    const uid_t outer = ::geteuid();
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(answer[0]);
      std::string reply = "-";
      if (::unshare(CLONE_NEWUSER) == 0) {
        std::ofstream("/proc/self/uid_map") << "3999999999 " << outer << " 1\n";
        if (::geteuid() == 3999999999u && !::getpwuid(::geteuid())) {
          if (user)
            ::setenv("USER", user->c_str(), 1);
          else
            ::unsetenv("USER");
          GetPCInfos();
          reply = "+" + UserID;
        }
      }
      const ssize_t written = ::write(answer[1], reply.data(), reply.size());
      ::_exit(written == static_cast<ssize_t>(reply.size()) ? 0 : 1);
    }
    ::close(answer[1]);
    std::string reply;
    char buffer[256];
    for (ssize_t n; (n = ::read(answer[0], buffer, sizeof buffer)) > 0;) reply.append(buffer, static_cast<size_t>(n));
    ::close(answer[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the process of its own failed: " << status;
    if (reply.empty() || reply[0] != '+') return std::nullopt;
    return reply.substr(1);
  }
};

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

// The login name is taken up to the 24 characters that the name buffer holds with its end: a longer one is
// no name, and no name at all is "ADMIN".
TEST_F(SystemInfo, AUserWithoutANameThatFitsIsAdmin) {
  if (!UserIDOf("jdoe")) GTEST_SKIP() << "this system gives no process a user of its own";
  const auto id = [](const std::optional<std::string>& user) { return UserIDOf(user).value_or("<not found>"); };
  EXPECT_EQ(id(" jdoe "), "JDOE");
  EXPECT_EQ(id(std::string(24, 'x')), std::string(24, 'X'));
  EXPECT_EQ(id(std::string(25, 'x')), "ADMIN");
  EXPECT_EQ(id(std::string(40, 'x')), "ADMIN");
  EXPECT_EQ(id("  "), "ADMIN");
  EXPECT_EQ(id(std::nullopt), "ADMIN");
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
