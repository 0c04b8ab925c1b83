// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QStringList>

// The program's type. Its windows are laid out in pixels for Tahoma 8, so Tahoma is made the
// application font: the system's own when it has one, else the copy with the same metrics that
// Debian ships in fonts-wine. Without any Tahoma the system's font stands in, at the largest
// size whose texts are no wider than Tahoma 8's, and every pixel size of the design shrinks in
// the same ratio.
class TAppFont {
  public:
    // Where Debian's fonts-wine puts its Tahoma (regular and bold).
    static QStringList DefaultFiles();

    // Makes Tahoma available: true when the system has it or one of the files holds it.
    static bool LoadTahoma(const QStringList& files = DefaultFiles());

    // Sets the application font: Tahoma 8 pt, or the system's font at its fitting size.
    static void Apply(bool tahoma);

    // LoadTahoma, then Apply.
    static void Install(const QStringList& files = DefaultFiles());

    // Whether the application font is Tahoma (false: the system's font stands in).
    static bool IsTahoma();

    // The application font's family at a pixel size of the design ("bold 19-pixel Tahoma"),
    // scaled as the application font was when another family stands in.
    static QFont PixelFont(int designPixels, bool bold = false);

    // The pixel size the stand-in family gets: the largest at which the reference line is no
    // wider than Tahoma 8 sets it at this screen's resolution.
    static int FittingPixelSize(const QFont& family);

    // The reference line (texts of the program's tightest places) and its width in pixels in
    // Tahoma 8 pt at 96 dots per inch.
    static QString ReferenceLine();
    static constexpr int ReferenceWidth = 309;
    static constexpr int DesignPointSize = 8;
};
