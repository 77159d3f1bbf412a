# Runs at install time, where CMAKE_INSTALL_PREFIX is the prefix really installed to. Writes the
# launcher and the menu entry from their templates and installs them; file(INSTALL) adds DESTDIR.
foreach(dir programDir binDir applicationsDir)
  if(NOT IS_ABSOLUTE "${${dir}}")
    set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
  endif()
endforeach()

set(launcher "${binDir}/dorvane")
if(launcher MATCHES "[\n\r\t]")
  message(FATAL_ERROR "The install path must not contain control characters: ${launcher}")
endif()

# The launcher finds the program folder relative to itself, so a staged (DESTDIR) install runs too.
file(RELATIVE_PATH launcherToProgram "${binDir}" "${programDir}")
string(REPLACE "'" "'\\''" launcherToProgram "${launcherToProgram}")

# Exec is quoted as the Desktop Entry spec asks: inside double quotes " ` $ \ take a backslash,
# "%" is doubled (a field code otherwise); then the whole value is string-escaped.
set(desktopExec "${launcher}")
string(REPLACE "\\" "\\\\" desktopExec "${desktopExec}")
string(REPLACE "\"" "\\\"" desktopExec "${desktopExec}")
string(REPLACE "`" "\\`" desktopExec "${desktopExec}")
string(REPLACE "$" "\\$" desktopExec "${desktopExec}")
string(REPLACE "%" "%%" desktopExec "${desktopExec}")
set(desktopExec "\"${desktopExec}\"")
string(REPLACE "\\" "\\\\" desktopExec "${desktopExec}")

# A folder of its own per destination: installs to two places may run at once.
string(MD5 destinationTag "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
string(APPEND workDir "/${destinationTag}")
configure_file("${templateDir}/dorvane.sh.in" "${workDir}/dorvane" @ONLY)
# The entry's name is the application's id, which the AppStream data and Wayland's app id share.
set(entryName org.dorvane.Dorvane.desktop)
configure_file("${templateDir}/${entryName}.in" "${workDir}/${entryName}" @ONLY)
file(INSTALL "${workDir}/dorvane" DESTINATION "${binDir}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                      WORLD_READ WORLD_EXECUTE)
file(INSTALL "${workDir}/${entryName}" DESTINATION "${applicationsDir}")
