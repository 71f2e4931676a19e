#include "app/ProgressLine.h"

#include <gtest/gtest.h>

#include <sstream>

// The line is redrawn only when its text changes, a shorter text blanks the
// rest, and one newline ends it, also when it goes away. (An off line is
// checked end to end: no run there says anything.)
TEST(ProgressLine, RedrawsInPlaceAndEndsWithOneNewline) {
    std::ostringstream stream;
    {
        TProgressLine progress(stream, true);
        progress.SetPercent(40); // no piece has started: nothing to show
        progress.SetPiece(1, 3);
        progress.SetPercent(50);
        progress.SetPercent(50);
        progress.SetPiece(2, 3);
        progress.Finish();
        progress.Finish();
        // A unite before the signature is read, and a count kept in 16 bits.
        progress.SetPiece(1, 0);
        progress.SetPiece(70000, 4464);
    }
    EXPECT_EQ(stream.str(), "\rЧастина 1 з 3: 0%"
                            "\rЧастина 1 з 3: 50%"
                            "\rЧастина 2 з 3: 0% "
                            "\n"
                            "\rЧастина 1: 0%"
                            "\rЧастина 70000: 0%"
                            "\n");
}
