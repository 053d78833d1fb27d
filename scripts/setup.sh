#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Vantorel.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get -o DPkg::Lock::Timeout=120 install -y -qq --no-install-recommends \
    build-essential cmake ninja-build pkg-config \
    qt6-base-dev qt6-multimedia-dev qt6-serialport-dev \
    libzip-dev libcurl4-openssl-dev libxcb1-dev libxcb-ewmh-dev \
    xvfb xauth x11-utils xdotool imagemagick poppler-utils \
    qt6-qpa-plugins fonts-dejavu-core >/dev/null
# Engines: zlib for compressed stream blocks. Tests: a local SMTP server
# (aiosmtpd) and test certificates (openssl).
$SUDO apt-get -o DPkg::Lock::Timeout=120 install -y -qq --no-install-recommends \
    zlib1g-dev python3 python3-aiosmtpd openssl >/dev/null
# Packaging: checks of the desktop entry and the AppStream file.
$SUDO apt-get -o DPkg::Lock::Timeout=120 install -y -qq --no-install-recommends \
    desktop-file-utils appstream-util >/dev/null
# FTP download tests: a local FTP server (pyftpdlib).
$SUDO apt-get -o DPkg::Lock::Timeout=120 install -y -qq --no-install-recommends \
    python3-pyftpdlib >/dev/null
# Fuzzing (fuzz/): clang with libFuzzer and the sanitizer runtimes.
$SUDO apt-get -o DPkg::Lock::Timeout=120 install -y -qq --no-install-recommends \
    clang-14 libclang-rt-14-dev >/dev/null
# Desktop notifications and spoken alarms: Qt D-Bus (in qt6-base-dev), the
# speech synthesizer; tests: a private session bus with a real notification
# server (dunst) and sox to measure the synthesized audio.
$SUDO apt-get -o DPkg::Lock::Timeout=120 install -y -qq --no-install-recommends \
    espeak-ng dunst dbus-daemon dbus-x11 sox >/dev/null
# Weather Wire engine: XMPP through libstrophe. Tests: a local XMPP server
# (prosody) and a sender in the room (slixmpp).
$SUDO apt-get -o DPkg::Lock::Timeout=120 install -y -qq --no-install-recommends \
    libstrophe-dev prosody python3-slixmpp >/dev/null
# Digests of filed products (the system's crypto library).
$SUDO apt-get -o DPkg::Lock::Timeout=120 install -y -qq --no-install-recommends \
    libssl-dev >/dev/null
