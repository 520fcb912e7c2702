# One Debian package, "qzorvikmonitor", holds what "cmake --install" puts
# under /usr: both programs, their help pages, desktop entries and icons, and
# the udev rule for the receivers' USB IDs. Its dependencies on shared
# libraries are read from the programs by dpkg-shlibdeps (package dpkg-dev);
# the packages the programs use without linking them are listed here: Qt's
# own Chinese texts, which the programs load at run time, the monospaced font
# of the console and python3, which runs the monitor's scripts. A Chinese
# font is recommended for the Chinese interface.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qzorvikmonitor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "QZorvikMonitor maintainers <maintainers@qzorvikmonitor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "GNSS receiver monitor (QZorvikMonitor) and RINEX converter (QMoxelin)")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "QZorvikMonitor connects to GNSS receivers over serial ports, USB, TCP, NTRIP
casters or replayed log files, sends them commands and decodes their logs,
NMEA and RTCM3. QMoxelin converts receiver range logs to RINEX observation
and navigation files, RINEX back to logs, and logs to logs.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qttranslations5-l10n, fonts-dejavu-core, python3")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
