#!/usr/bin/env bash
# Regenerates po/cport.pot from the serial layer's sources (run after changing a text).
set -euo pipefail
cd "$(dirname "$0")/.."
xgettext --language=C++ --from-code=UTF-8 --keyword=NoopText --keyword=Translated \
    --package-name=Quorvel --package-version=2.0 --msgid-bugs-address=none \
    --sort-by-file -o po/cport.pot src/serial/ComErrors.cpp src/serial/ComSetupDialog.cpp
sed -i "s/charset=CHARSET/charset=UTF-8/" po/cport.pot
