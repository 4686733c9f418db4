# What a centre installs: the programs, their data files, the service units,
# the man pages and the shell completion; and the Debian package made of them
# by CPack (tools/package.sh). Installed under /usr; the PAM file of the kiosk
# session goes to /etc.
include(GNUInstallDirs)

set(kestrel4_programs kestrel4-admin kestrel4-sim kestrel4-wavgen)
if(TARGET kestrel4)
  list(PREPEND kestrel4_programs kestrel4)
endif()
install(TARGETS ${kestrel4_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(datadir ${CMAKE_INSTALL_DATADIR}/kestrel4)

# The station's own alarm sounds, as a fresh installation gets them: a
# pristine copy to put back into a centre by hand.
set(sounds ${CMAKE_BINARY_DIR}/share/sounds)
add_custom_command(OUTPUT ${sounds}/sounds
  COMMAND ${CMAKE_COMMAND} -E make_directory ${sounds}
  COMMAND $<TARGET_FILE:kestrel4-wavgen> ${sounds}
  DEPENDS kestrel4-wavgen
  COMMENT "Alarm sounds of a fresh installation")
add_custom_target(kestrel4_sounds ALL DEPENDS ${sounds}/sounds)
install(DIRECTORY ${sounds}/ DESTINATION ${datadir}/sounds FILES_MATCHING PATTERN "*.wav" PATTERN "sounds")

# The demo centre and the simulator's scenarios.
install(FILES
  ${PROJECT_SOURCE_DIR}/tools/demo/demo_subscribers.csv
  ${PROJECT_SOURCE_DIR}/tools/demo/demo_scenario.txt
  ${PROJECT_SOURCE_DIR}/tools/demo/modules_scenario.txt
  DESTINATION ${datadir}/demo)

install(FILES ${packaging}/systemd/kestrel4@.service ${packaging}/systemd/kestrel4-kiosk@.service
  DESTINATION lib/systemd/system)
install(FILES ${packaging}/kestrel4.sysusers DESTINATION lib/sysusers.d RENAME kestrel4.conf)
install(FILES ${packaging}/kestrel4.tmpfiles DESTINATION lib/tmpfiles.d RENAME kestrel4.conf)
install(FILES ${packaging}/kestrel4-kiosk.pam DESTINATION /etc/pam.d RENAME kestrel4-kiosk)

# bash-completion loads a command's completion by the command's name.
set(completions ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${packaging}/kestrel4-admin.bash-completion DESTINATION ${completions} RENAME kestrel4-admin)
install(FILES ${packaging}/kestrel4.bash-completion DESTINATION ${completions} RENAME kestrel4)
install(FILES ${packaging}/kestrel4.bash-completion DESTINATION ${completions} RENAME kestrel4-sim)

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${packaging}/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrel4)

# Man pages from each program's own --help.
find_program(KESTREL4_HELP2MAN help2man REQUIRED)
set(man_kestrel4 "stacja operatora centrum monitorowania alarmów")
set(man_kestrel4-admin "narzędzie technika: instalacja, konfiguracja, baza abonentów, historia")
set(man_kestrel4-sim "symulator baz odbiorczych i magistrali pakietów")
set(man_kestrel4-wavgen "dźwięki alarmów świeżej instalacji")
set(man_pages)
foreach(program IN LISTS kestrel4_programs)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${KESTREL4_HELP2MAN} -DPROGRAM=$<TARGET_FILE:${program}>
            -DNAME=${program} "-DSUMMARY=${man_${program}}" -DVERSION=${PROJECT_VERSION} -DOUTPUT=${page}
            -DCOMMANDS=$<STREQUAL:${program},kestrel4-admin>
            -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
    DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
    COMMENT "Man page of ${program}")
  list(APPEND man_pages ${page})
endforeach()
add_custom_target(kestrel4_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel4)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_VENDOR "Kestrel4")
set(CPACK_PACKAGE_CONTACT "Kestrel4 <kestrel4@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kestrel4 - stacja operatora centrum monitorowania alarmów")
# One string: a list of lines would be joined with ";".
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Przyjmuje meldunki central alarmowych abonentów z baz odbiorczych na liniach\n"
  "szeregowych, z pakietów interfejsu centrum i przez UDP, zapisuje historię\n"
  "zdarzeń i podnosi alarmy dla operatora. Pakiet zawiera stację (kestrel4),\n"
  "narzędzie technika (kestrel4-admin), symulator urządzeń (kestrel4-sim),\n"
  "dźwięki alarmów, usługę systemd stacji bez ekranu (kestrel4@.service) i sesję\n"
  "kiosku z oknem stacji (kestrel4-kiosk@.service).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs are linked with, as dpkg-shlibdeps finds them;
# the window station also needs Qt's display plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, qt6-qpa-plugins")
# Pictures (pcxtoppm), the screen wake (xdg-screensaver, xset), the print spooler.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "netpbm, xdg-utils, x11-xserver-utils, cups-client, bash-completion")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cage, qt6-wayland, cups")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${packaging}/debian/postinst ${packaging}/debian/prerm ${packaging}/debian/postrm
  ${packaging}/debian/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
include(CPack)
