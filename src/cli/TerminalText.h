#pragma once

#include <QString>

// Text from the scanned volume (file names, extension names, paths, stored
// report fields) is chosen by whoever wrote the volume, adware authors
// included. Printed raw, an ESC sequence could clear the screen or retitle
// the window, and a newline could forge a line of our own ("Report ...
// stored."). Every human-readable line of the command line that carries such
// text goes through escaped(), the way `ls -b` shows names:
//   - "\a" "\b" "\t" "\n" "\v" "\f" "\r" for those controls, "\e" for ESC,
//     "\xNN" for the other C0 controls and DEL (U+007F),
//   - "\\" for a backslash, so every escape reads back one way,
//   - "\xNN" for a byte that is not UTF-8, which travels through the engine
//     as a lone surrogate U+DC80–U+DCFF (NN is its low byte),
//   - "\uXXXX" for C1 controls (U+0080–U+009F), other lone surrogates, and
//     the marks that reorder text on screen (U+061C, U+200E, U+200F,
//     U+202A–U+202E, U+2066–U+2069) and the line and paragraph separators.
// Everything else, non-ASCII letters included, is printed as it is. JSON
// output is not escaped this way: its encoder already escapes controls.
class TerminalText
{
public:
    static QString escaped(const QString &text);
};
