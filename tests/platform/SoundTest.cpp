#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/win32/Multimedia.h"
#include "tests/support/Sandbox.h"

namespace {

std::string Little(uint32_t value, int size) {
  std::string bytes;
  for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
  return bytes;
}

// A wave file of the given sample format and sample bytes, with an extra chunk before the format and
// extra bytes in the format chunk.
std::string Wave(uint32_t tag, uint32_t bits, const std::string& samples, const std::string& extra = "",
                 const std::string& fmtExtra = "") {
  const std::string fmt = Little(tag, 2) + Little(1, 2) + Little(8000, 4) + Little(8000 * bits / 8, 4) +
                          Little(bits / 8, 2) + Little(bits, 2) + fmtExtra;
  std::string chunks = extra + "fmt " + Little(static_cast<uint32_t>(fmt.size()), 4) + fmt + "data" +
                       Little(static_cast<uint32_t>(samples.size()), 4) + samples;
  return "RIFF" + Little(static_cast<uint32_t>(chunks.size() + 4), 4) + "WAVE" + chunks;
}

}  // namespace

class Sound : public Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    win32::testing::RecordSounds(true);
    win32::testing::PlayedSounds().clear();
  }
  void TearDown() override {
    win32::testing::RecordSounds(false);
    win32::testing::PlayedSounds().clear();
    Sandbox::TearDown();
  }

  // What PlaySoundA gave for this file content: "file", "default" or "" for nothing.
  std::string Play(const std::string& content, long flags = win32::SND_ASYNC) {
    const std::string path = home + "/sound.wav";
    WriteFile(path, content);
    win32::testing::PlayedSounds().clear();
    const long started = win32::PlaySoundA(path, 0, flags);
    const auto& played = win32::testing::PlayedSounds();
    if (played.empty()) return "";
    EXPECT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].file, path);
    EXPECT_EQ(started, played[0].defaultSound ? 0 : 1);
    return played[0].defaultSound ? "default" : "file";
  }
};

TEST_F(Sound, AWaveThatCannotBePlayedGivesTheDefaultSound) {
  const std::string samples(16, '\x10');
  EXPECT_EQ(Play(Wave(1, 16, samples)), "file");
  EXPECT_EQ(Play(Wave(1, 8, samples, "LIST" + Little(3, 4) + "abc" + std::string(1, '\0'))), "file");
  EXPECT_EQ(Play(Wave(3, 32, samples)), "file");
  EXPECT_EQ(Play(Wave(1, 16, samples, "", Little(0, 2))), "file");

  EXPECT_EQ(Play(Wave(2, 4, samples)), "default");   // a compressed format
  EXPECT_EQ(Play(Wave(1, 12, samples)), "default");  // no sample size the output knows
  EXPECT_EQ(Play(Wave(1, 16, "")), "default");       // no samples
  EXPECT_EQ(Play(Wave(1, 16, samples).substr(0, 30)), "default");
  EXPECT_EQ(Play("RIFF....AVI LIST"), "default");
  EXPECT_EQ(Play(""), "default");
  // without the default sound, nothing at all
  EXPECT_EQ(Play(Wave(2, 4, samples), win32::SND_ASYNC | win32::SND_NODEFAULT), "");

  win32::testing::PlayedSounds().clear();
  EXPECT_EQ(win32::PlaySoundA(home + "/missing.wav", 0, win32::SND_ASYNC), 0);
  ASSERT_EQ(win32::testing::PlayedSounds().size(), 1u);
  EXPECT_TRUE(win32::testing::PlayedSounds()[0].defaultSound);
}

// The speech object names the first engine that works, whether the loading thread looked first or not; the
// thread's answer serves one object only, and the "no engine" switch wins over it.
TEST(Speech, TheObjectNamesTheEngineThatWorksWithOrWithoutTheLoadingThread) {
  std::string direct;
  const long lookedDirectly = ErrorOf([&] { direct = automation::SpeechObject().Engine(); });
  EXPECT_TRUE(lookedDirectly == 0 || lookedDirectly == 429);
  EXPECT_EQ(direct.empty(), lookedDirectly != 0);

  automation::SpeechObject::StartLoadingEngines();
  std::string loaded;
  EXPECT_EQ(ErrorOf([&] { loaded = automation::SpeechObject().Engine(); }), lookedDirectly);
  EXPECT_EQ(loaded, direct);

  automation::SpeechObject::StartLoadingEngines();
  automation::SpeechObject::SetUnavailableForTesting(true);
  EXPECT_EQ(ErrorOf([] { automation::SpeechObject speech; }), 429);
  automation::SpeechObject::SetUnavailableForTesting(false);
  std::string again;
  EXPECT_EQ(ErrorOf([&] { again = automation::SpeechObject().Engine(); }), lookedDirectly);
  EXPECT_EQ(again, direct);
}
