#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>

#include "pe_builder.h"
#include "table/resource_module.h"
#include "table/sound.h"

namespace trisk {
namespace {

QByteArray Samples(int count) {
    QByteArray samples;
    for (int i = 0; i < count; ++i)
        samples.append(char(i * 37));
    return samples;
}

TEST(ParseWave, ReadsFormatAndSamples) {
    const QByteArray samples = Samples(400);
    const auto mono = ParseWave(test::WaveFile(22050, 1, 16, samples));
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->SampleRate, 22050);
    EXPECT_EQ(mono->Channels, 1);
    EXPECT_EQ(mono->BitsPerSample, 16);
    EXPECT_EQ(mono->Samples, samples);

    const auto stereo = ParseWave(test::WaveFile(8000, 2, 8, samples));
    ASSERT_TRUE(stereo);
    EXPECT_EQ(stereo->Channels, 2);
    EXPECT_EQ(stereo->BitsPerSample, 8);
    EXPECT_EQ(stereo->Samples.size(), 400);
}

TEST(ParseWave, SkipsOtherChunksWithTheirPadding) {
    QByteArray wave = test::WaveFile(11025, 1, 16, Samples(10));
    // An odd-sized LIST chunk (padded to even) between "fmt " and "data".
    const QByteArray list = QByteArray("LIST") + QByteArray("\x03\0\0\0", 4) + "abc" + '\0';
    wave.insert(12 + 8 + 16, list);
    test::Put32(wave, 4, uint32_t(wave.size() - 8));
    const auto parsed = ParseWave(wave);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->Samples, Samples(10));
}

TEST(ParseWave, DropsAPartialLastFrame) {
    QByteArray wave = test::WaveFile(22050, 2, 16, Samples(12));
    test::Put32(wave, 40, 11);  // data size: two whole frames and three bytes
    const auto parsed = ParseWave(wave);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->Samples, Samples(8));
}

TEST(ParseWave, RefusesDamagedOrUnsupportedFiles) {
    const QByteArray good = test::WaveFile(22050, 1, 16, Samples(100));
    ASSERT_TRUE(ParseWave(good));
    for (qsizetype length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(ParseWave(good.left(length))) << length;
    }
    auto damaged = [&](qint64 at, uint32_t value, bool wide) {
        QByteArray bytes = good;
        wide ? test::Put32(bytes, at, value) : test::Put16(bytes, at, value);
        return ParseWave(bytes);
    };
    EXPECT_FALSE(damaged(0, 0x58464952, true));   // "RIFX"
    EXPECT_FALSE(damaged(4, 0xFFFFFFF0, true));   // RIFF size past the end
    EXPECT_FALSE(damaged(16, 14, true));          // "fmt " too short
    EXPECT_FALSE(damaged(16, 0x7FFFFFF0, true));  // "fmt " past the end
    EXPECT_FALSE(damaged(20, 3, false));          // IEEE float, not PCM
    EXPECT_FALSE(damaged(22, 0, false));          // no channels
    EXPECT_FALSE(damaged(24, 0, true));           // no sample rate
    EXPECT_FALSE(damaged(32, 3, false));          // block align does not fit
    EXPECT_FALSE(damaged(34, 12, false));         // 12 bits per sample
    EXPECT_FALSE(damaged(36, 0x6B6E756A, true));  // "data" renamed "junk": no samples
    EXPECT_FALSE(damaged(40, 0xFFFFFFFF, true));  // data past the end
    QByteArray dataFirst = good;                  // "data" before "fmt "
    dataFirst.replace(12, 4, "data");
    dataFirst.replace(36, 4, "fmt ");
    EXPECT_FALSE(ParseWave(dataFirst));
}

// Captures what Qt logs while sounds are asked for: silence must be quiet.
class SoundPlayer : public ::testing::Test {
  protected:
    void SetUp() override {
        messages_.clear();
        previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&,
                                              const QString& text) { messages_.append(text); });
        library_ = TResourceModule::FromBytes(
            test::BuildModule({
                                  {"WAVE", "UP", test::WaveFile(22050, 1, 16, Samples(8820))},
                                  {"WAVE", "DOWN", test::WaveFile(22050, 1, 16, Samples(4410))},
                                  {"WAVE", "BROKEN", QByteArray("RIFF\x04\0\0\0WAVE", 12)},
                              })
                .Bytes);
        ASSERT_NE(library_, nullptr);
    }
    void TearDown() override { qInstallMessageHandler(previous_); }

    static inline QStringList messages_;
    QtMessageHandler previous_ = nullptr;
    std::unique_ptr<TResourceModule> library_;
};

TEST_F(SoundPlayer, StaysSilentWhenDisabledMissingOrUnreadable) {
    TSoundPlayer player(library_.get());
    player.PlayCardSetSound(QStringLiteral("UP"), false);
    EXPECT_EQ(player.Playing(), QString());
    player.PlayCardSetSound(QStringLiteral("GAMEWON"), true);
    EXPECT_EQ(player.Playing(), QString());
    player.PlayCardSetSound(QStringLiteral("BROKEN"), true);
    EXPECT_EQ(player.Playing(), QString());
    TSoundPlayer withoutLibrary(nullptr);
    withoutLibrary.PlayCardSetSound(QStringLiteral("UP"), true);
    EXPECT_EQ(withoutLibrary.Playing(), QString());
    EXPECT_TRUE(messages_.isEmpty()) << qPrintable(messages_.join('\n'));
}

TEST_F(SoundPlayer, ANewSoundReplacesTheOneStillPlaying) {
    TSoundPlayer player(library_.get());
    player.PlayCardSetSound(QStringLiteral("UP"), true);
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        // No output device: the call returns at once and says nothing.
        EXPECT_EQ(player.Playing(), QString());
        EXPECT_TRUE(messages_.isEmpty()) << qPrintable(messages_.join('\n'));
        GTEST_SKIP() << "no audio output device on this machine";
    }
    EXPECT_EQ(player.Playing(), QStringLiteral("UP"));
    player.PlayCardSetSound(QStringLiteral("DOWN"), true);
    EXPECT_EQ(player.Playing(), QStringLiteral("DOWN"));
    player.PlayCardSetSound(QStringLiteral("DOWN"), false);  // switched off: no change
    EXPECT_EQ(player.Playing(), QStringLiteral("DOWN"));
    player.Stop();
    EXPECT_EQ(player.Playing(), QString());

    // A sound that runs to its end lets go of the output by itself; the call
    // that started it returned long before.
    QElapsedTimer clock;
    clock.start();
    player.PlayCardSetSound(QStringLiteral("DOWN"), true);
    EXPECT_LT(clock.elapsed(), 100);
    while (!player.Playing().isEmpty() && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(player.Playing(), QString());
    EXPECT_GE(clock.elapsed(), 100);  // not cut short: 0.1 s of samples
}

}  // namespace
}  // namespace trisk
