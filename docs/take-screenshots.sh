#!/bin/sh
# Takes every picture in docs/ twice: in Korean (name.png) and in English (name-en.png), each
# program under its own virtual screen with the Nanum fonts installed. From the source tree:
#   docs/take-screenshots.sh [BUILD_DIR]
set -eu
build=${1:-build}

shoot() {  # $1: the locale, $2: what goes before ".png"
  for picture in "analyzer-screenshot docs/analyzer$2.png docs/id-view$2.png docs/offline-log$2.png" \
                 "dialog-screenshots docs $2" \
                 "signal-screenshot docs/signal-plot$2.png" \
                 "signal-window-screenshot docs/signal-window$2.png docs/offline-signals$2.png"; do
    # shellcheck disable=SC2086  # the program and its arguments, split on purpose
    env -u LC_ALL -u LC_MESSAGES LANG="$1" xvfb-run -a -s "-screen 0 1920x1080x24" "$build/docs/"$picture
  done
}

shoot ko_KR.UTF-8 ""
shoot C.UTF-8 -en
