#pragma once

// Which command opened the name prompt or the similar-title warning. Only the add-title
// command starts a new cast list on OK and gives the main window back on Cancel; the
// genre manager runs inside the editor, whose cast list and disabled main window stay.
enum class PromptOpener { AddTitle, GenreManager };
