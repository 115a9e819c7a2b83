# Runs at install time (cmake --install build --prefix <folder>): completes the program
# folder and writes the desktop entry. Expects REELVANE_PREPARE (the prepare_catalogue
# tool) and REELVANE_DESKTOP_TEMPLATE to be set.
get_filename_component(folder "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(staged "$ENV{DESTDIR}${folder}")

# The catalogue and the fixed pictures, only where they are missing: a catalogue that is
# already in the folder is the user's, and stays exactly as it is.
if(EXISTS "${staged}/dvd_collection.mdb")
    message(STATUS "Keeping the catalogue: ${staged}/dvd_collection.mdb")
else()
    message(STATUS "Preparing a new catalogue: ${staged}/dvd_collection.mdb")
endif()
execute_process(COMMAND "${REELVANE_PREPARE}" "${staged}" RESULT_VARIABLE prepared)
if(NOT prepared EQUAL 0)
    message(FATAL_ERROR "Could not prepare the program folder ${staged}")
endif()

# Exec needs the path quoted: inside quotes \ " ` $ take a backslash, % is doubled, and
# then every backslash is doubled once more by the general string escaping.
set(exec "${folder}/reelvane")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "\"" "\\\"" exec "${exec}")
string(REPLACE "`" "\\`" exec "${exec}")
string(REPLACE "$" "\\$" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "\\" "\\\\" exec "${exec}")
set(REELVANE_DESKTOP_EXEC "\"${exec}\"")
string(REPLACE "\\" "\\\\" REELVANE_DESKTOP_TRYEXEC "${folder}/reelvane")
string(REPLACE "\\" "\\\\" REELVANE_DESKTOP_ICON
       "${folder}/share/icons/hicolor/256x256/apps/reelvane.png")

set(entry "${staged}/share/applications/reelvane.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${REELVANE_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
