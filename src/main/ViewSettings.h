#pragma once

#include <QSettings>
#include <memory>

// Where the main window's view choices (the browse panel, ...) are remembered between
// starts: an INI file in the user's configuration folder. Tests point QSettings' user
// scope at a temporary folder (QSettings::setPath).
namespace ViewSettings {

inline std::unique_ptr<QSettings> Open()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("reelvane"), QStringLiteral("view"));
}

} // namespace ViewSettings
