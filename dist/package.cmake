# The Debian package, made with "cpack -G DEB" in the build folder
# (scripts/package): taoban_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME taoban)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the taoban developers")
set(CPACK_PACKAGE_CONTACT "Taoban developers <taoban@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "production tool of a portrait photo studio")
# Lines of the extended description, each short enough for a terminal.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "The operator records customer orders (products, print sizes, quantities"
    "and album page counts), imports the customer's photos, picks page"
    "templates, fits the photos into the templates' slots and adjusts them"
    "by hand. A batch renders every finished page at full print size and"
    "resolution as JPEG, and an export hands the pages to the print lab per"
    "ordered product. taoban-cli offers the same work for scripting. A demo"
    "template library and sample photos stock each new studio folder.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not found among the programs' libraries: the CJK
# font of the windows, and Qt's extra image formats for customer photos.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
