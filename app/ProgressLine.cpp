#include "app/ProgressLine.h"

#include "texts/EngineTexts.h"
#include "texts/Texts.h"

TProgressLine::TProgressLine(std::ostream& stream, bool enabled)
    : m_stream(stream), m_enabled(enabled) {}

TProgressLine::~TProgressLine() {
    Finish();
}

void TProgressLine::SetPiece(int64_t piece, int64_t count) {
    m_piece = piece;
    m_count = count;
    m_percent = 0;
    Draw();
}

void TProgressLine::SetPercent(int percent) {
    m_percent = percent;
    Draw();
}

void TProgressLine::Finish() {
    if (m_shown.empty())
        return;
    m_stream << '\n';
    m_stream.flush();
    m_shown.clear();
}

void TProgressLine::Draw() {
    if (!m_enabled || m_piece < 1)
        return;
    // A stored count of pieces can be below the piece number (a set of more than
    // 65,535 pieces keeps only the low 16 bits); then it says nothing.
    const std::string text =
        m_count >= m_piece
            ? FormatText(
                  Texts::CliProgressOfCount,
                  {std::to_string(m_piece), std::to_string(m_count), std::to_string(m_percent)})
            : FormatText(Texts::CliProgress, {std::to_string(m_piece), std::to_string(m_percent)});
    // The engine reports after every chunk; redraw only what a reader can see change.
    if (text == m_shown)
        return;
    std::string line = "\r" + text;
    if (text.size() < m_shown.size())
        line += std::string(m_shown.size() - text.size(), ' ');
    m_stream << line;
    m_stream.flush();
    m_shown = text;
}
