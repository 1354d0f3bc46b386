# Sourced by the scripts in this folder: makes sure the Debian packages the
# project needs are installed, installing them with apt-get when run as root.
ORVALIS_PACKAGES="build-essential cmake ninja-build ccache pkg-config \
qtbase5-dev qtbase5-dev-tools fonts-liberation \
liberfa-dev python3-numpy clang libclang-rt-14-dev xvfb xauth gcovr"

orvalis_missing_packages() {
    local missing=""
    for p in $ORVALIS_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
            || missing="$missing $p"
    done
    echo "$missing"
}

orvalis_ensure_packages() {
    local missing
    missing=$(orvalis_missing_packages)
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Orvalis-3 needs these Debian packages:$missing" >&2
        echo "Install them as root, then run this command again:" >&2
        echo "  apt-get install -y$missing" >&2
        exit 1
    fi
    echo "Installing Debian packages:$missing"
    export DEBIAN_FRONTEND=noninteractive
    if ! apt-get install -y -q $missing; then
        apt-get update -q && apt-get install -y -q $missing || {
            echo "apt-get could not install:$missing" >&2
            exit 1
        }
    fi
}

# Configures and builds into $1 with extra CMake arguments after it.
orvalis_build() {
    local dir=$1; shift
    export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
    cmake -S "$ORVALIS_ROOT" -B "$dir" -G Ninja "$@" >/dev/null \
        || { echo "CMake configuration failed" >&2; exit 1; }
    cmake --build "$dir" || { echo "Build failed" >&2; exit 1; }
}
