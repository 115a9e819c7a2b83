#pragma once

#include <QString>

// Lays out a program folder: the catalogue and the images folder with its fixed pictures.
// Anything already there is left exactly as it is, so a user's catalogue is never replaced.
class CataloguePreparer
{
public:
    static bool Prepare(const QString &folder, QString *error = nullptr);
    static QString SchemaText();
};
