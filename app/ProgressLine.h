#pragma once

#include <cstdint>
#include <ostream>
#include <string>

// The one-line progress indicator of the command line: piece n of N and the
// percentage of that piece, redrawn in place with "\r". It draws only when it is
// enabled (standard error is a terminal), so redirected output stays clean.
class TProgressLine {
public:
    TProgressLine(std::ostream& stream, bool enabled);
    ~TProgressLine();
    TProgressLine(const TProgressLine&) = delete;
    TProgressLine& operator=(const TProgressLine&) = delete;

    bool Enabled() const { return m_enabled; }

    // Piece `piece` starts; `count` is the number of pieces, 0 or less when not
    // yet known.
    void SetPiece(int64_t piece, int64_t count);
    void SetPercent(int percent);
    // Ends the line with a newline so that what follows starts on its own line.
    void Finish();

private:
    void Draw();

    std::ostream& m_stream;
    bool m_enabled;
    int64_t m_piece = 0;
    int64_t m_count = 0;
    int m_percent = 0;
    std::string m_shown; // the text on the line now; empty when none is
};
