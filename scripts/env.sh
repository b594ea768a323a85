# Sourced by the run and test scripts: what the browser engine needs here.
# Its sandbox cannot start as root, and machines without a GPU need it off.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
