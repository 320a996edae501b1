# The Debian package: `cpack -G DEB` in a release build folder gives
# tarnwick_<version>_amd64.deb with the layout of `cmake --install`.
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "The Tarnwick developers")
set(CPACK_PACKAGE_CONTACT "The Tarnwick developers <maintainers@tarnwick.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch file renamer with preview and undo (Chinese interface)")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarnwick renames the files of a folder in one go with one of nine methods
(numbering, deleting characters, prefix and suffix, replacing text, extension,
splitting, names from a reference document, letter case and Chinese-to-pinyin,
attributes), shows the new names beside the old ones before anything changes,
and undoes a rename later from the record it leaves. It also merges worksheets
and workbooks, creates numbered workbooks, removes blank worksheets and blank
lines, and converts contact tables to and from vCard files. The interface is
in Simplified Chinese; tarnwick-cli runs the same rules without a desktop.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tarnwick)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tarnwick.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Every workbook the program reads or writes goes through gnumeric's converter.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gnumeric")
set(CPACK_GENERATOR DEB)
include(CPack)
