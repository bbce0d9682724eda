# The interface's translations: our own .ts files, built by lrelease into .qm files, and Qt's
# own Chinese texts (dialog and message-box buttons), both embedded under :/i18n. The Windows
# cross build uses the build machine's lrelease and Debian's copy of Qt's .qm files, which
# belong to the same Qt version.
qt_add_translations(kelvora_app
    TS_FILES ${PROJECT_SOURCE_DIR}/translations/kelvora_en.ts
    RESOURCE_PREFIX /i18n
    LUPDATE_OPTIONS -locations none -source-language zh_CN)

if(CMAKE_CROSSCOMPILING)
    set(kelvora_qt_qm_default "${QT_HOST_PATH}/share/qt6/translations")
else()
    set(kelvora_qt_qm_default "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}")
endif()
set(KELVORA_QT_TRANSLATIONS_DIR "${kelvora_qt_qm_default}" CACHE PATH
    "Folder that holds Qt's own qtbase_zh_CN.qm")
set(kelvora_qtbase_qm "${KELVORA_QT_TRANSLATIONS_DIR}/qtbase_zh_CN.qm")
if(NOT EXISTS "${kelvora_qtbase_qm}")
    message(FATAL_ERROR "${kelvora_qtbase_qm} not found: install Debian's qt6-translations-l10n "
        "or set KELVORA_QT_TRANSLATIONS_DIR")
endif()
set_source_files_properties("${kelvora_qtbase_qm}" PROPERTIES QT_RESOURCE_ALIAS qtbase_zh_CN.qm)
qt_add_resources(kelvora_app "kelvora_qt_translations" PREFIX /i18n FILES "${kelvora_qtbase_qm}")
