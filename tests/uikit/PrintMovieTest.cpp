#include "uikit/PrintMovie.h"
#include "uikit/ProgressScale.h"

#include <gtest/gtest.h>

namespace {
PrintMovie::Pictures pictures()
{
    auto solid = [](int w, int h) {
        QImage i(w, h, QImage::Format_RGB888);
        i.fill(Qt::gray);
        return i;
    };
    return {solid(135, 52), solid(135, 48), solid(39, 56), solid(7, 5)};
}
} // namespace

TEST(PrintMovie, EnvelopeSlidesDownAndStartsOverLampBlinksEvery11Ticks)
{
    PrintMovie movie(pictures());
    movie.show();
    EXPECT_EQ(movie.envelopeTop(), 0);
    QList<int> lampToggles;
    bool lamp = movie.lampVisible();
    for (int tick = 1; tick <= 95; ++tick) {
        movie.tick();
        if (movie.lampVisible() != lamp) {
            lampToggles << tick;
            lamp = movie.lampVisible();
        }
        if (tick == 91)
            EXPECT_EQ(movie.envelopeTop(), 91);
    }
    // Down one pixel a tick while the top is at most 90: 91 is the lowest, then 0 again.
    EXPECT_EQ(movie.envelopeTop(), 3);
    EXPECT_EQ(lampToggles, QList<int>({11, 22, 33, 44, 55, 66, 77, 88}));
    movie.stop();
    EXPECT_EQ(movie.envelopeTop(), 0);
    EXPECT_TRUE(movie.lampVisible());
    movie.resize(300, 300);
    EXPECT_EQ(movie.size(), QSize(135, 100));
}

TEST(ProgressScale, ClampsAndFills)
{
    ProgressScale bar;
    bar.resize(400, 18);
    bar.setMinimum(-5);
    EXPECT_EQ(bar.minimum(), 0);
    bar.setMaximum(25);
    bar.setPosition(30);
    EXPECT_EQ(bar.position(), 25);
    bar.setPosition(-1);
    EXPECT_EQ(bar.position(), 0);
    bar.setPosition(24);
    EXPECT_EQ(bar.filledWidth(), 384);  // 400 × 24 / 25: never full during the last envelope
    bar.setMinimum(10);
    bar.setMaximum(3);
    EXPECT_EQ(bar.maximum(), 10);
    bar.setMaximum(0);
    bar.setMinimum(0);
    bar.setMaximum(0);
    EXPECT_EQ(bar.filledWidth(), 0);
}
