// A show file of 0 bytes (what "新規ショー設定..." writes) is a valid show with no names, also
// when a play command reads it: it plays as the empty show instead of failing as damaged.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "TestSupport.h"
#include "model/Playback.h"
#include "model/ShowData.h"

namespace {

class EmptyShowFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/velmo-emptyshow-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        m_dir = std::string(folder) + "/";
        std::ofstream(m_dir + "new.vls", std::ios::binary).close();
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string m_dir;
};

TEST_F(EmptyShowFileTest, LoadsAsAnEmptyShowInItsFolder) {
    CShowData show;
    show.m_nCount = 2; // whatever the record held before is replaced
    show.m_nHeader = 7;
    ASSERT_TRUE(show.LoadFromPath(m_dir + "new.vls"));
    EXPECT_EQ(show.m_nCount, 0);
    EXPECT_EQ(show.m_nHeader, 0);
    EXPECT_EQ(show.m_nReserved, 0);
    EXPECT_EQ(show.m_strFolder, m_dir);
}

TEST_F(EmptyShowFileTest, PlaysAsTheEmptyShowUntilEscape) {
    CFakeDecoder decoder;
    CPlayback play(decoder, 1024, 768);
    const CPlaybackStart start = play.PlayDocumentFile(m_dir + "new.vls", false);
    EXPECT_EQ(start.m_eOutcome, EStartOutcome::Started);
    EXPECT_TRUE(start.m_bShow);
    EXPECT_EQ(start.m_layer.m_eKind, EShowLayer::Background);
    EXPECT_EQ(play.m_nCount, 0);
    EXPECT_FALSE(play.IsTimerRunning());
    EXPECT_TRUE(play.Key(true).m_bHide);
    EXPECT_FALSE(play.IsPlaying());
}

TEST_F(EmptyShowFileTest, AShowFileOfOneToElevenBytesIsStillDamaged) {
    std::ofstream(m_dir + "short.vls", std::ios::binary).write("\0\0\0\0\0", 5);
    CShowData show;
    EXPECT_THROW(show.LoadFromPath(m_dir + "short.vls"), CArchiveException);
    CFakeDecoder decoder;
    CPlayback play(decoder, 1024, 768);
    EXPECT_EQ(play.PlayDocumentFile(m_dir + "short.vls", true).m_eOutcome,
              EStartOutcome::DamagedShowFile);
    EXPECT_FALSE(play.IsPlaying());
}

} // namespace
