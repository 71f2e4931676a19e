#include "app/ProgressLine.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(ProgressLine, DisabledLineWritesNothing) {
    std::ostringstream stream;
    {
        TProgressLine progress(stream, false);
        progress.SetPiece(1, 3);
        progress.SetPercent(50);
        progress.Finish();
    }
    EXPECT_EQ(stream.str(), "");
}

TEST(ProgressLine, RedrawsInPlaceAndEndsWithOneNewline) {
    std::ostringstream stream;
    TProgressLine progress(stream, true);
    progress.SetPiece(1, 3);
    progress.SetPercent(50);
    progress.SetPercent(50); // unchanged: not drawn again
    progress.SetPiece(2, 3);
    progress.Finish();
    progress.Finish(); // a second end adds nothing
    EXPECT_EQ(stream.str(), "\rЧастина 1 з 3: 0%"
                            "\rЧастина 1 з 3: 50%"
                            "\rЧастина 2 з 3: 0% "
                            "\n");
}

TEST(ProgressLine, UnknownCountShowsThePieceOnly) {
    std::ostringstream stream;
    TProgressLine progress(stream, true);
    progress.SetPiece(1, 0); // a unite before the signature has been read
    progress.SetPercent(100);
    progress.SetPiece(70000, 4464); // a count kept in 16 bits says nothing
    EXPECT_EQ(stream.str(), "\rЧастина 1: 0%\rЧастина 1: 100%\rЧастина 70000: 0%");
}

TEST(ProgressLine, NothingShownNothingEnded) {
    std::ostringstream stream;
    {
        TProgressLine progress(stream, true);
        progress.SetPercent(40); // no piece has started
    }
    EXPECT_EQ(stream.str(), "");
}

TEST(ProgressLine, DestructionEndsAnOpenLine) {
    std::ostringstream stream;
    {
        TProgressLine progress(stream, true);
        progress.SetPiece(1, 1);
    }
    EXPECT_EQ(stream.str(), "\rЧастина 1 з 1: 0%\n");
}
