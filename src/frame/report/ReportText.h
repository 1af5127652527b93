#pragma once
#include <QStringList>

namespace qv {

struct TextLines {
    QStringList lines;
    double lineHeight = 0;  // mm
};

// Breaks text into the lines it prints as, measured in millimetres with the metrics of a 1200 dpi
// device, so that every device prints the same lines. With wrap, lines break at word boundaries and
// anywhere between Chinese characters (or inside a word too long for the line); "\n" always breaks.
TextLines breakText(const QString& text, const QString& family, double pointSize, bool bold, bool italic,
                    double widthMm, bool wrap);

}  // namespace qv
