# `cmake --install` lays the suite out as a Linux desktop expects, and CPack makes the
# Debian package from the same rules:
#   <prefix>/lib/rq700-suite/    zorva-studio, img/, icons/, Firmware/ and the editor in
#                                ZORVA_RQ700/ with its img/: the layout of dist/
#   <prefix>/bin/                zorva-studio (a link into lib/rq700-suite/), rq700, rq700-emu
#   <prefix>/share/              desktop entries (the launcher, offline editing), icons,
#                                AppStream metainfo, manual pages
#   <prefix>/lib/udev/rules.d/   the rule that lets the desktop user open the device
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

include(GNUInstallDirs)
set(RQ700_SUITE_DIR "lib/rq700-suite")
# Folders come out the same whatever the umask of the one who installs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(rq700_gen "${CMAKE_BINARY_DIR}/install-files")

# The command-line programs need no data of their own: they go straight into bin/.
foreach(program rq700 rq700-emu)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

if(TARGET zorva-studio AND TARGET ZORVA_RQ700)
  install(TARGETS zorva-studio RUNTIME DESTINATION ${RQ700_SUITE_DIR})
  install(TARGETS ZORVA_RQ700 RUNTIME DESTINATION ${RQ700_SUITE_DIR}/ZORVA_RQ700)
  # Only the drawn skin: anything else a run left in dist/ (firmware images made by the
  # demo or by hand) stays out of an install.
  install(DIRECTORY "${RQ700_DIST_DIR}/img/" DESTINATION ${RQ700_SUITE_DIR}/img
          FILES_MATCHING PATTERN "*.jpg" PATTERN "*.png")
  install(DIRECTORY "${RQ700_DIST_DIR}/ZORVA_RQ700/img/"
          DESTINATION ${RQ700_SUITE_DIR}/ZORVA_RQ700/img
          FILES_MATCHING PATTERN "*.jpg" PATTERN "*.png")
  install(FILES "${RQ700_DIST_DIR}/icons/zorva-studio.png" "${RQ700_DIST_DIR}/icons/zorva-rq700.png"
          DESTINATION ${RQ700_SUITE_DIR}/icons)
  # Where a distribution may put firmware images; users put theirs in their data folder.
  install(DIRECTORY DESTINATION ${RQ700_SUITE_DIR}/Firmware)

  # bin/zorva-studio is a relative link: the launcher resolves its own executable through
  # it and so finds the suite; the package stays relocatable.
  file(RELATIVE_PATH launcher_link_target "/root/${CMAKE_INSTALL_BINDIR}"
       "/root/${RQ700_SUITE_DIR}/zorva-studio")
  file(MAKE_DIRECTORY "${rq700_gen}/bin")
  file(CREATE_LINK "${launcher_link_target}" "${rq700_gen}/bin/zorva-studio" SYMBOLIC)
  install(FILES "${rq700_gen}/bin/zorva-studio" DESTINATION ${CMAKE_INSTALL_BINDIR})

  # The menu entry, its icon in the theme's sizes, and the software centre's description.
  configure_file("${CMAKE_SOURCE_DIR}/resources/zorva-studio.desktop.in"
                 "${rq700_gen}/${RQ700_APP_ID}.desktop" @ONLY)
  configure_file("${CMAKE_SOURCE_DIR}/resources/zorva-studio.metainfo.xml.in"
                 "${rq700_gen}/${RQ700_APP_ID}.metainfo.xml" @ONLY)
  # The second entry: the editor on a backup, without the unit (zorva-studio --offline).
  configure_file("${CMAKE_SOURCE_DIR}/resources/zorva-studio-offline.desktop.in"
                 "${rq700_gen}/${RQ700_APP_ID}.Offline.desktop" @ONLY)
  install(FILES "${rq700_gen}/${RQ700_APP_ID}.desktop" "${rq700_gen}/${RQ700_APP_ID}.Offline.desktop"
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES "${rq700_gen}/${RQ700_APP_ID}.metainfo.xml"
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES "${RQ700_ICON_THEME_DIR}/${size}x${size}/apps/zorva-studio.png"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${RQ700_APP_ID}.png)
  endforeach()
endif()

install(FILES "${CMAKE_SOURCE_DIR}/resources/70-rq700.rules" DESTINATION lib/udev/rules.d)

# Manual pages and the package's changelog, compressed as Debian wants them.
set(RQ700_PACKAGE_MAINTAINER "RQ700 suite developers <maintainers@rq700-suite.invalid>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
string(TIMESTAMP RQ700_PACKAGE_DATE "%a, %d %b %Y 00:00:00 +0000" UTC)
configure_file("${CMAKE_SOURCE_DIR}/resources/debian/changelog.in" "${rq700_gen}/changelog" @ONLY)
set(rq700_compressed)
foreach(source IN ITEMS resources/man/rq700.1 resources/man/rq700-emu.1
                        resources/man/zorva-studio.1 ${rq700_gen}/changelog)
  get_filename_component(name "${source}" NAME)
  get_filename_component(source "${source}" ABSOLUTE BASE_DIR "${CMAKE_SOURCE_DIR}")
  add_custom_command(
    OUTPUT "${rq700_gen}/${name}.gz"
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh "${source}" "${rq700_gen}/${name}.gz"
    DEPENDS "${source}"
    VERBATIM)
  list(APPEND rq700_compressed "${rq700_gen}/${name}.gz")
endforeach()
add_custom_target(rq700_install_files ALL DEPENDS ${rq700_compressed})
install(FILES "${rq700_gen}/rq700.1.gz" "${rq700_gen}/rq700-emu.1.gz"
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET zorva-studio)
  install(FILES "${rq700_gen}/zorva-studio.1.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
set(rq700_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/rq700-suite)
install(FILES "${rq700_gen}/changelog.gz" "${CMAKE_SOURCE_DIR}/resources/debian/copyright"
        DESTINATION ${rq700_doc_dir})
install(FILES "${CMAKE_SOURCE_DIR}/resources/debian/lintian-overrides"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME rq700-suite)

# The Debian package: `cpack --config build/CPackConfig.cmake` after a build.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rq700-suite)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${RQ700_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and firmware updater for the RQ700 guitar effects unit")
# Lines of the long description, each within the 80 columns Debian asks for.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Zorva Studio finds an RQ700 guitar multi-effects unit on USB and starts its"
  "editor, which edits the unit's presets live while you play, saves presets as"
  "files and loads them back, backs up and restores the whole unit, and loads"
  "cabinet impulse responses (WAV) and amplifier models into its user slots."
  "For a unit in update mode it sends a new firmware image."
  ""
  "Also included: rq700, a command-line tool that checks, shows and converts the"
  "suite's files, and rq700-emu, a virtual unit for trying the suite without"
  "the hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies come from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
include(CPack)
