#pragma once

#include "TestFolder.h"

// Titles whose letters, cast or punctuation trip up a naive search; the last one is on
// the Wishlist.
inline void AddSearchTitles(TestFolder &folder)
{
    for (const QString title : {"100% Pure_Fun*", "ΣΊΣΥΦΟΣ", "Straße"})
        folder.AddTitle({.title = title});
    folder.AddTitle({.title = "Amélie",
                     .subTitle = "Édition Collector",
                     .director = "Jean-Pierre Jeunet",
                     .cast = {{"Audrey Tautou", "Amélie Poulain"}}});
    folder.AddTitle({.title = "Ame\u0301lie Redux", .director = QVariant()});
    folder.AddTitle({.title = "ÉMILE", .cast = {{"Zoë Kravitz", "Émile"}}});
    folder.AddTitle({.title = "Ocean's Eleven",
                     .director = "Steven Soderbergh",
                     .cast = {{"George Clooney", "Danny Ocean"}}});
    folder.AddTitle({.title = "東京物語", .director = "小津安二郎"});
    folder.AddTitle({.title = "Fireworks 🎆", .cast = {{"שלום כהן", QVariant()}}});
    folder.AddTitle({.title = "Amélie on the Wish List", .wishList = 1});
}
