# `make package`: a Debian package, quorvane_VERSION_ARCH.deb, of what the install rules lay out.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pellor Software")
set(CPACK_PACKAGE_CONTACT "Quorvane maintainers <quorvane@pellorsoftware.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "take customer orders, buy from several stores, bill by invoice")
set(CPACK_PACKAGE_DESCRIPTION
  "Quorvane is a desktop program for a buyer who collects orders from customers, buys the goods
from several suppliers, each with its own price list, and bills the customers by invoice.
One project file holds the customers, invoices, invoice lines, stores, price lists, discount
tables and container lists; every change is written to it at once. It prints invoices and
price lists, imports from Access, dBase, FoxPro, Excel, Paradox and text files, and comes
with qvtool for making and inspecting project files from scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries from the binaries; the printouts name Times New Roman, which Liberation Serif stands in for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
include(CPack)
