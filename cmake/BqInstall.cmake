# What `cmake --install` puts under the prefix: the programs, the desktop
# entry, its icons, the AppStream metainfo, the man pages and bqctl's bash
# and zsh completions, in the layout of a Linux desktop (the Debian package uses it).
include(GNUInstallDirs)

set(BQ_APP_ID org.bqtest.bqtest)

# Each program with its man page; bqctl joins once its target exists.
foreach(program bqTest bq-gateway-sim bqctl)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    if(EXISTS ${PROJECT_SOURCE_DIR}/man/${program}.1)
      install(FILES ${PROJECT_SOURCE_DIR}/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
  endif()
endforeach()

if(BQ_BUILD_APP)
  install(FILES ${PROJECT_SOURCE_DIR}/data/${BQ_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/${BQ_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/${BQ_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/${size}/${BQ_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()

if(TARGET bqctl)
  install(FILES ${PROJECT_SOURCE_DIR}/data/bash-completion/bqctl
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  install(FILES ${PROJECT_SOURCE_DIR}/data/zsh-completion/_bqctl
          DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
endif()
