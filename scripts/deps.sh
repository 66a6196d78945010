# Installs the Debian packages the build and the tests need, when missing
# (lintian, devscripts for hardening-check and appstream check the package;
# dbus-daemon gives the viewer's bus test a private session bus; chromium
# runs the search of a published site; gettext's tools run in the PO round
# trip test).
# Sourced by the other scripts; run as root on a fresh Debian 12 machine.
zkhelp_install_deps() {
    local packages="cmake g++ make qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n gettext
        desktop-file-utils shared-mime-info libxml2-utils fonts-dejavu-core lintian devscripts appstream
        dbus-daemon chromium"
    local missing=""
    for package in $packages "$@"; do
        # A package whose triggers still wait (another install is running)
        # is already usable.
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null |
            grep -qE "install ok (installed|triggers-pending|triggers-awaited)" \
            || missing="$missing $package"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
}
