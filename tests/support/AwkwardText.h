#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The project's awkward texts (those a catalogue can hold; the editor keeps NUL out).
inline QList<QPair<const char *, QString>> AwkwardTexts()
{
    return {
        {"apostrophes", QStringLiteral("Ocean's 'Eleven'' '")},
        {"double quotes", QStringLiteral("The \"Real\" \"\" Deal")},
        {"backslashes", QStringLiteral("C:\\films\\ \\' \\\\ \\t \\n")},
        {"commas and semicolons", QStringLiteral("one, two; three;; four,,")},
        {"dash and tab", QStringLiteral("Jean-Luc\t- Picard -")},
        {"percent and underscore", QStringLiteral("100% _pure_ %_%")},
        {"SQL that ends the statement", QStringLiteral("x'); DROP TABLE DVD_Title; --")},
        {"leading and trailing blanks", QStringLiteral("   Alien   ")},
        {"blanks only", QStringLiteral("     ")},
        {"line breaks of every kind", QStringLiteral("first line\r\nsecond line\nthird\rfourth\n")},
        {"line feeds only", QStringLiteral("first line\nsecond line\n")},
        {"letters beyond ASCII", QString::fromUtf8("Amélie Ærø Łódź Straße 東京物語")},
        {"right to left", QString::fromUtf8("שלום עולם مرحبا بالعالم")},
        {"emoji", QString::fromUtf8("🎬 Popcorn 🍿 👨‍👩‍👧 🇫🇷")},
        {"60,000 characters", QStringLiteral("0123456789, \"quoted\"\r\n").repeated(2500)},
    };
}
