# cmake --install: solitaire-trisk, cardset.dll, Help.chm and the help viewer
# trisk-help together in ${TRISK_INSTALL_PKGDIR} (the program finds the others
# beside its own real path), a link to the program and trisk-tool itself in
# bin/. The desktop entry, icons, MIME package, AppStream metadata and manual
# pages are installed by resources/.
if(TARGET solitaire-trisk)
    install(TARGETS solitaire-trisk RUNTIME DESTINATION ${TRISK_INSTALL_PKGDIR})
    install(FILES ${TRISK_CARDSET_DLL} DESTINATION ${TRISK_INSTALL_PKGDIR})
    # Made by help/ when that part of the build is present.
    install(FILES ${TRISK_OUTPUT_DIR}/Help.chm DESTINATION ${TRISK_INSTALL_PKGDIR} OPTIONAL)
    if(TARGET trisk-help)
        install(TARGETS trisk-help RUNTIME DESTINATION ${TRISK_INSTALL_PKGDIR})
    endif()

    # A relative link, so that the installed tree works in any prefix and
    # below DESTDIR.
    cmake_path(RELATIVE_PATH TRISK_INSTALL_PKGDIR BASE_DIRECTORY ${CMAKE_INSTALL_BINDIR}
        OUTPUT_VARIABLE link_target)
    set(link ${CMAKE_CURRENT_BINARY_DIR}/install-links/solitaire-trisk)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/install-links)
    file(CREATE_LINK ${link_target}/solitaire-trisk ${link} SYMBOLIC)
    install(FILES ${link} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET trisk-tool)
    install(TARGETS trisk-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
