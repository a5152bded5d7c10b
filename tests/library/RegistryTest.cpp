#include "library/VYK_Registry.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "library/Servers.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "tests/support/Sandbox.h"

using namespace VYK_Registry;

class RegistryAccess : public Sandbox {};

TEST_F(RegistryAccess, PerMachineSettingsKeepTheirType) {
  SaveRegSetting("VYK\\Brennavale", "Settings", "AsText", std::string("5"));
  SaveRegSetting("VYK\\Brennavale", "Settings", "AsNumber", 5L);
  SaveRegSetting("VYK\\Brennavale", "Settings", "AsBoolean", true);
  const rt::Variant text = GetRegSetting("VYK\\Brennavale", "Settings", "AsText", 0L);
  const rt::Variant number = GetRegSetting("VYK\\Brennavale", "Settings", "AsNumber", std::string());
  EXPECT_EQ(text.Type(), rt::VarType::String);
  EXPECT_EQ(text, rt::Variant("5"));
  EXPECT_EQ(number.Type(), rt::VarType::Long);
  EXPECT_EQ(number, rt::Variant(5L));
  EXPECT_EQ(GetRegSetting("VYK\\Brennavale", "Settings", "AsBoolean", 0L), rt::Variant(-1L));
  EXPECT_EQ(ReadKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Settings\\AsNumber"), "5");
  EXPECT_EQ(ErrorLog(), "");
}

TEST_F(RegistryAccess, AMissingValueReadsAsDefaultSilentlyButIsLoggedByReadKey) {
  EXPECT_EQ(GetRegSetting("VYK\\Brennavale", "Settings", "TTS", -1L), rt::Variant(-1L));
  EXPECT_FALSE(std::filesystem::exists(common + "/error.log"));

  std::string path = "HKEY_LOCAL_MACHINE\\Software\\VYK\\Nothing\\Here";
  EXPECT_EQ(ReadKey(path), "");
  auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("  ReadKey of Modul VYK_Registry  0  -2147024894  Unable to open registry key"),
            std::string::npos);
  EXPECT_EQ(lines[1], path);
  EXPECT_TRUE(rt::testing::MessageBoxes().shown.empty());

  EXPECT_TRUE(ReadKeyV(path).IsEmpty());
  EXPECT_EQ(Lines(ErrorLog()).size(), 4u);
}

TEST_F(RegistryAccess, DeleteAndExistenceTests) {
  std::string path = "  HKEY_CURRENT_USER\\Software\\VYK\\Run\\Tollerwick1  ";
  EXPECT_EQ(RegKeyExists(path), rt::Variant(false));
  EXPECT_EQ(path, "HKEY_CURRENT_USER\\Software\\VYK\\Run\\Tollerwick1");
  DeleteKey(path);  // nothing there: nothing done, nothing logged
  EXPECT_EQ(ErrorLog(), "");
  CreateKey(path, "/opt/Tollerwick/tollerwick");
  EXPECT_EQ(RegKeyExists(path), rt::Variant(true));
  DeleteKey(path);
  EXPECT_EQ(RegKeyExists(path), rt::Variant(false));
  EXPECT_EQ(ErrorLog(), "");
}

TEST_F(RegistryAccess, AFailedWriteIsLoggedWithItsArgumentsAndChangesNothing) {
  CreateKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Settings\\Old", "kept");
  // a folder where the store's temporary file must go makes the save fail
  std::filesystem::create_directories(config + "/VYK/registry.json.tmp." + std::to_string(::getpid()) + "/x");
  CreateNumericKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Settings\\Old", 7L);
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 2u) << ErrorLog();
  EXPECT_NE(lines[0].find("  CreateNumericKey of Modul VYK_Registry  0  "), std::string::npos);
  EXPECT_EQ(lines[1], "HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Settings\\Old 7 ");
  EXPECT_EQ(ReadKey("HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Settings\\Old"), "kept");
}

// An update cycle asks for its provider's host for every row, and the host read is used again for a while.
TEST_F(RegistryAccess, AServerChangedHereIsUsedAtOnceAndOneChangedElsewhereSoon) {
  const std::string key = "HKEY_LOCAL_MACHINE\\Software\\VYK\\Brennavale\\Servers\\Provider1Quotes";
  EXPECT_EQ(Servers::Host("Provider1Quotes"), "quotes.provider1.example");
  CreateKey(key, "127.0.0.1:8001");
  EXPECT_EQ(Servers::Url("Provider1Quotes", "/q"), "http://127.0.0.1:8001/q");

  const pid_t child = ::fork();
  if (child == 0) {
    CreateKey(key, "127.0.0.1:8002");
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  const auto start = std::chrono::steady_clock::now();
  while (Servers::Host("Provider1Quotes") != "127.0.0.1:8002" &&
         std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
    rt::DoEventsWaiting(10);
  EXPECT_EQ(Servers::Host("Provider1Quotes"), "127.0.0.1:8002");
}
