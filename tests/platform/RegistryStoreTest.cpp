#include "platform/runtime/Registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utime.h>

#include <QDateTime>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/runtime/Error.h"
#include "platform/win32/Automation.h"
#include "tests/support/Sandbox.h"

using namespace rt;

class RegistryStore : public Sandbox {
 protected:
  std::string StoreFile() const { return config + "/VYK/registry.json"; }
};

TEST_F(RegistryStore, FirstUseSeedsTheOrganisationAndKeepsTheFilePrivate) {
  automation::WshShell shell;
  const Variant org = shell.RegRead("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\RegisteredOrganization");
  EXPECT_EQ(org, Variant(""));
  struct stat st {};
  ASSERT_EQ(::stat(StoreFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat((config + "/VYK").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(RegistryStore, NamesAreCaseInsensitiveAndTypesAreKept) {
  automation::WshShell shell;
  shell.RegWrite("HKEY_CURRENT_USER\\Software\\VYK\\Test\\Count", 5, "REG_DWORD");
  shell.RegWrite("HKCU\\Software\\VYK\\Test\\Name", "5");
  EXPECT_EQ(shell.RegRead("hkey_current_user\\software\\vyk\\TEST\\count"), Variant(5L));
  EXPECT_EQ(shell.RegRead("HKCU\\Software\\VYK\\Test\\NAME"), Variant("5"));
  shell.RegWrite("HKCU\\Software\\VYK\\Test\\Flag", true, "REG_DWORD");
  EXPECT_EQ(shell.RegRead("HKCU\\Software\\VYK\\Test\\Flag"), Variant(-1L));
  EXPECT_THROW(shell.RegWrite("HKCU\\Software\\VYK\\Test\\Bad", "abc", "REG_DWORD"), Error);
  EXPECT_THROW(shell.RegRead("NOSUCHROOT\\x\\y"), Error);
  shell.RegDelete("HKCU\\Software\\VYK\\Test\\Name");
  try {
    shell.RegRead("HKCU\\Software\\VYK\\Test\\Name");
    FAIL() << "a deleted value was read";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), errRegistryNotFound);
  }
}

TEST_F(RegistryStore, SettingsStoreIsAViewOfTheRegistrySharedBetweenProcesses) {
  SaveSetting("VYK\\Brennavale\\ME", "Settings", "txtStartTime", "9:30");
  EXPECT_EQ(GetSetting("vyk\\brennavale\\me", "SETTINGS", "TXTSTARTTIME", "x"), "9:30");
  EXPECT_EQ(GetSetting("VYK\\Brennavale\\ME", "Settings", "missing", "default"), "default");
  // another process changes the store; this one sees the change
  const pid_t child = ::fork();
  if (child == 0) {
    SaveSetting("VYK\\Brennavale\\ME", "Settings", "txtStartTime", "10:00");
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(GetSetting("VYK\\Brennavale\\ME", "Settings", "txtStartTime"), "10:00");
}

namespace {

// The troubles the store tells of, as the program's error log would get them.
std::vector<std::string> g_notices;
void KeepNotice(const std::string& source, const Error& e) {
  g_notices.push_back(source + ": " + e.Description());
}

struct NoticesKept {
  NoticesKept() {
    g_notices.clear();
    SetNoticeSink(&KeepNotice);
  }
  ~NoticesKept() { SetNoticeSink(nullptr); }
};

}  // namespace

class DamagedRegistryStore : public RegistryStore {
 protected:
  // The files the damaged stores were kept as, with what each holds.
  std::map<std::string, std::string> SetAside() const {
    std::map<std::string, std::string> kept;
    for (const auto& e : std::filesystem::directory_iterator(config + "/VYK"))
      if (e.path().filename().string().rfind("registry.json.damaged-", 0) == 0)
        kept[e.path().filename().string()] = ReadFile(e.path());
    return kept;
  }
  // Puts `content` in the store's place, as another program or a damaged disk would.
  void Damage(const std::string& content) {
    WriteFile(StoreFile(), content);
    ::utime(StoreFile().c_str(), nullptr);
  }
  NoticesKept notices;
};

TEST_F(DamagedRegistryStore, AnUnreadableStoreIsSetAsideUnderANameOfItsOwnAndAnEmptyOneUsed) {
  SaveSetting("App", "Settings", "Value", "1");
  Damage("{ this is not a store");
  EXPECT_EQ(GetSetting("App", "Settings", "Value", "gone"), "gone");
  std::map<std::string, std::string> kept = SetAside();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept.begin()->second, "{ this is not a store");
  ASSERT_EQ(g_notices.size(), 1u);
  EXPECT_NE(g_notices[0].find(kept.begin()->first), std::string::npos) << g_notices[0];
  SaveSetting("App", "Settings", "Value", "2");
  EXPECT_EQ(GetSetting("App", "Settings", "Value"), "2");

  // damaged again within the same second, or the next few: every store kept before stays as it was
  const QDateTime now = QDateTime::currentDateTime();
  for (int s = 0; s < 5; ++s)
    WriteFile(StoreFile() + ".damaged-" + now.addSecs(s).toString("yyyyMMdd-HHmmss").toStdString(), "earlier");
  const std::map<std::string, std::string> before = SetAside();
  Damage("[\"another\", \"damage\"]");
  EXPECT_EQ(GetSetting("App", "Settings", "Value", "gone"), "gone");
  kept = SetAside();
  ASSERT_EQ(kept.size(), before.size() + 1);
  for (const auto& [name, content] : before) EXPECT_EQ(kept[name], content) << name;
  for (const auto& [name, content] : kept) {
    if (before.count(name)) continue;
    EXPECT_EQ(content, "[\"another\", \"damage\"]");
  }
}

TEST_F(DamagedRegistryStore, APipeOrAHugeFileInTheStoresPlaceIsNotReadButSetAside) {
  SaveSetting("App", "Settings", "Value", "1");
  // a link to a pipe nobody writes to (as to a device): the link is set aside, never what it leads to
  const std::string pipe = root + "/pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::filesystem::remove(StoreFile());
  std::filesystem::create_symlink(pipe, StoreFile());
  EXPECT_EQ(GetSetting("App", "Settings", "Value", "gone"), "gone");
  struct stat st {};
  ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  std::map<std::string, std::string> kept;
  for (const auto& e : std::filesystem::directory_iterator(config + "/VYK"))
    if (e.path().filename().string().rfind("registry.json.damaged-", 0) == 0) kept[e.path().string()] = "";
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_symlink(kept.begin()->first));
  EXPECT_EQ(std::filesystem::read_symlink(kept.begin()->first), pipe);
  SaveSetting("App", "Settings", "Value", "2");
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(StoreFile())));
  EXPECT_EQ(GetSetting("App", "Settings", "Value"), "2");

  // a store of 100 MB (a sparse file: no disk is used) is set aside unread
  std::filesystem::resize_file(StoreFile(), 100 << 20);
  ::utime(StoreFile().c_str(), nullptr);
  EXPECT_EQ(GetSetting("App", "Settings", "Value", "gone"), "gone");
  size_t huge = 0;
  for (const auto& e : std::filesystem::directory_iterator(config + "/VYK"))
    if (e.path().filename().string().rfind("registry.json.damaged-", 0) == 0 && !e.is_symlink() &&
        e.file_size() == 100u << 20)
      ++huge;
  EXPECT_EQ(huge, 1u);
  EXPECT_LT(std::filesystem::file_size(StoreFile()), 1u << 20);
  ASSERT_EQ(g_notices.size(), 2u);
  EXPECT_NE(g_notices[0].find("is no file"), std::string::npos) << g_notices[0];
  EXPECT_NE(g_notices[1].find("is larger than any settings store"), std::string::npos) << g_notices[1];
}

TEST_F(DamagedRegistryStore, AnUnusableValueIsLeftOutAndEverySoundOneKept) {
  const std::string settings = "HKEY_CURRENT_USER\\\\Software\\\\Program Settings\\\\App\\\\Settings";
  const std::string found = R"({"format": "registry 1", "keys": [
  {"path": ")" + settings + R"(", "values": [
     {"name": "Kept", "type": "REG_SZ", "data": "first"},
     {"name": "Proxy", "type": "REG_DWORD", "data": -1},
     {"name": "Port", "type": "REG_DWORD", "data": 8080},
     {"name": "Half", "type": "REG_DWORD", "data": 1.5},
     {"name": "Typed", "type": "REG_SZ", "data": 12},
     {"name": "Binary", "type": "REG_BINARY", "data": "00ff"},
     {"type": "REG_SZ", "data": "no name"},
     {"name": "Also", "type": "REG_SZ", "data": "last"}]},
  {"values": []},
  {"path": "HKEY_CURRENT_USER\\Software\\Broken", "values": 5},
  {"path": "HKEY_LOCAL_MACHINE\\Software\\VYK", "values": [{"name": "Count", "type": "REG_DWORD", "data": 3}]}]})";
  std::filesystem::create_directories(config + "/VYK");
  Damage(found);

  EXPECT_EQ(GetSetting("App", "Settings", "Kept"), "first");
  EXPECT_EQ(GetSetting("App", "Settings", "Port"), "8080");
  EXPECT_EQ(GetSetting("App", "Settings", "Also"), "last");
  EXPECT_EQ(registry::Read("HKLM\\Software\\VYK", "Count"), (RegValue{RegType::DWord, {}, 3}));
  for (const char* bad : {"Proxy", "Half", "Typed", "Binary", ""})
    EXPECT_EQ(GetSetting("App", "Settings", bad, "default"), "default") << bad;

  // the file as found is kept byte for byte; the store holds what was sound of it
  const std::map<std::string, std::string> kept = SetAside();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept.begin()->second, found);
  EXPECT_EQ(ReadFile(StoreFile()).find("Proxy"), std::string::npos);
  EXPECT_NE(ReadFile(StoreFile()).find("first"), std::string::npos);

  // each value left out is told with its key and name, then the file kept
  const std::string key = "HKEY_CURRENT_USER\\Software\\Program Settings\\App\\Settings";
  ASSERT_EQ(g_notices.size(), 8u);
  const auto told = [&](const std::string& what) {
    return std::any_of(g_notices.begin(), g_notices.end(),
                       [&](const std::string& n) { return n.find(what) != std::string::npos; });
  };
  for (const char* bad : {"Proxy", "Half", "Typed", "Binary", ""})
    EXPECT_TRUE(told("the value \"" + std::string(bad) + "\" of the key \"" + key + "\"")) << bad;
  EXPECT_TRUE(told("a key without a path"));
  EXPECT_TRUE(told("the key \"HKEY_CURRENT_USER\\Software\\Broken\""));
  EXPECT_NE(g_notices.back().find(kept.begin()->first), std::string::npos) << g_notices.back();

  // and it is told once: the store is sound again
  g_notices.clear();
  SaveSetting("App", "Settings", "Proxy", "proxy.example.net");
  EXPECT_EQ(GetSetting("App", "Settings", "Proxy"), "proxy.example.net");
  EXPECT_EQ(GetSetting("App", "Settings", "Kept"), "first");
  EXPECT_TRUE(g_notices.empty());
  EXPECT_EQ(SetAside().size(), 1u);
}

TEST_F(RegistryStore, AFailedSaveLeavesTheStoreUnchanged) {
  SaveSetting("App", "Settings", "Value", "old");
  // a folder where the save's temporary file must go makes every save fail, for root too
  const std::string blocker = StoreFile() + ".tmp." + std::to_string(::getpid());
  std::filesystem::create_directories(blocker + "/keep");
  EXPECT_THROW(SaveSetting("App", "Settings", "Value", "new"), Error);
  EXPECT_EQ(GetSetting("App", "Settings", "Value"), "old");
  std::filesystem::remove_all(blocker);
  SaveSetting("App", "Settings", "Value", "new");
  EXPECT_EQ(GetSetting("App", "Settings", "Value"), "new");
}

// A store that is a symbolic link, as programs that keep a user's configuration files in one place make it,
// is saved where the link leads; the link stays.
TEST_F(RegistryStore, AStoreThatIsALinkIsSavedThroughIt) {
  SaveSetting("App", "Settings", "Value", "old");
  const std::string kept = root + "/dotfiles/vyk/registry.json";
  std::filesystem::create_directories(root + "/dotfiles/vyk");
  std::filesystem::rename(StoreFile(), kept);
  std::filesystem::create_symlink("../../dotfiles/vyk/registry.json", StoreFile());
  ::utime(StoreFile().c_str(), nullptr);
  EXPECT_EQ(GetSetting("App", "Settings", "Value"), "old");

  SaveSetting("App", "Settings", "Value", "new");
  EXPECT_TRUE(std::filesystem::is_symlink(StoreFile()));
  EXPECT_EQ(std::filesystem::read_symlink(StoreFile()), "../../dotfiles/vyk/registry.json");
  EXPECT_NE(ReadFile(kept).find("\"new\""), std::string::npos) << ReadFile(kept);
  EXPECT_EQ(GetSetting("App", "Settings", "Value"), "new");
  struct stat st {};
  ASSERT_EQ(::stat(kept.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // nothing is left beside either
  for (const std::string& folder : {config + "/VYK", root + "/dotfiles/vyk"})
    for (const auto& e : std::filesystem::directory_iterator(folder))
      EXPECT_EQ(e.path().filename().string().find(".tmp."), std::string::npos) << e.path();

  // a link to a link, the last one to a file not made yet: the first save makes it there
  const std::string fresh = root + "/dotfiles/fresh.json";
  std::filesystem::create_symlink(fresh, root + "/dotfiles/vyk/next");
  std::filesystem::remove(StoreFile());
  std::filesystem::create_symlink(root + "/dotfiles/vyk/next", StoreFile());
  SaveSetting("App", "Settings", "Value", "fresh");
  EXPECT_TRUE(std::filesystem::is_symlink(StoreFile()));
  EXPECT_TRUE(std::filesystem::is_symlink(root + "/dotfiles/vyk/next"));
  EXPECT_NE(ReadFile(fresh).find("\"fresh\""), std::string::npos);
  EXPECT_EQ(GetSetting("App", "Settings", "Value"), "fresh");

  // damaged where the link leads: it is kept aside there, and the links stay
  WriteFile(fresh, "{ damaged");
  EXPECT_EQ(GetSetting("App", "Settings", "Value", "gone"), "gone");
  EXPECT_TRUE(std::filesystem::is_symlink(StoreFile()));
  EXPECT_TRUE(std::filesystem::is_symlink(root + "/dotfiles/vyk/next"));
  int setAside = 0;
  for (const auto& e : std::filesystem::directory_iterator(root + "/dotfiles"))
    if (e.path().filename().string().rfind("fresh.json.damaged-", 0) == 0) {
      ++setAside;
      EXPECT_EQ(ReadFile(e.path()), "{ damaged");
    }
  EXPECT_EQ(setAside, 1);
}

// A process killed at any moment while it saves leaves a store that reads, holding either the old or
// the new value of each write.
TEST_F(RegistryStore, SurvivesAProcessKilledWhileSaving) {
  SaveSetting("App", "Settings", "Counter", "0");
  for (int round = 0; round < 8; ++round) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (int i = 1;; ++i) SaveSetting("App", "Settings", "Counter", std::to_string(i));
    }
    ::usleep(20000 + round * 7000);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string counter = GetSetting("App", "Settings", "Counter", "unreadable");
    ASSERT_NE(counter, "unreadable") << "round " << round;
    EXPECT_GE(std::stoi(counter), 0);
    // and the store still takes changes
    SaveSetting("App", "Settings", "Counter", "0");
    ASSERT_EQ(GetSetting("App", "Settings", "Counter"), "0");
  }
  for (const auto& e : std::filesystem::directory_iterator(config + "/VYK"))
    EXPECT_EQ(e.path().filename().string().find("damaged"), std::string::npos);
}

// A Run value is mirrored as the session's autostart entry. One that names this program in its program folder
// starts this same executable with the same program folder, whatever characters the paths hold.
TEST_F(RegistryStore, TheAutostartEntryStartsThisSameProgram) {
  const std::string run = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string entry = config + "/autostart/Tollerwick1.desktop";
  const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string exeName = exe.substr(exe.find_last_of('/') + 1);
  const std::string odd = root + "/Tolle 100% \"q\" $x `y` a\\b";
  ::setenv("TOLLERWICK_HOME", odd.c_str(), 1);
  registry::Write(run, "Tollerwick1", RegValue{RegType::String, odd + "/" + exeName, 0});
  const std::string oddQuoted = root + "/Tolle 100%% \\\\\"q\\\\\" \\\\$x \\\\`y\\\\` a\\\\\\\\b";
  EXPECT_EQ(ReadFile(entry), "[Desktop Entry]\nType=Application\nName=Tollerwick1\nExec=env \"TOLLERWICK_HOME=" +
                                 oddQuoted + "\" \"" + exe + "\"\nX-GNOME-Autostart-enabled=true\n");
  // without a program folder of its own the program folder is the executable's
  ::unsetenv("TOLLERWICK_HOME");
  registry::Write(run, "Tollerwick1", RegValue{RegType::String, exe, 0});
  EXPECT_NE(ReadFile(entry).find("\nExec=\"" + exe + "\"\n"), std::string::npos);
  // any other program is started by its path
  registry::Write(run, "Tollerwick1", RegValue{RegType::String, "/opt/other 5%/run", 0});
  EXPECT_NE(ReadFile(entry).find("\nExec=\"/opt/other 5%%/run\"\n"), std::string::npos);
  registry::DeleteValue(run, "Tollerwick1");
  EXPECT_FALSE(std::filesystem::exists(entry));
}

// Every start writes values that rarely change (the program's version, the speech flag): writing a value
// as it stands must not rewrite the file, and any real change must.
TEST_F(RegistryStore, AValueWrittenAgainAsItIsLeavesTheFileAlone) {
  // the file as saved: a save writes a new file, whose number may be the old one's again
  const auto saved = [this] {
    struct stat st {};
    EXPECT_EQ(::stat(StoreFile().c_str(), &st), 0);
    return std::make_tuple(st.st_ino, st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
  };
  automation::WshShell shell;
  shell.RegWrite("HKCU\\Software\\VYK\\Test\\Version", "3.7.4");
  const auto first = saved();
  shell.RegWrite("HKCU\\Software\\VYK\\Test\\Version", "3.7.4");
  EXPECT_EQ(saved(), first);

  shell.RegWrite("HKCU\\Software\\VYK\\Test\\VERSION", 3, "REG_DWORD");
  EXPECT_NE(saved(), first);
  EXPECT_EQ(shell.RegRead("HKCU\\Software\\VYK\\Test\\Version"), Variant(3L));
}
