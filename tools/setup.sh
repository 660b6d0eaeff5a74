# Sourced by run.sh and test.sh: installs whatever is missing on a Debian 12
# machine, quietly, and only when it is missing.

zib_packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libxml2-dev pkg-config python3
    g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth x11-apps imagemagick
    fonts-ipafont-gothic locales python3 python3-lxml libxml2-utils
    nodejs chromium chromium-driver python3-selenium fonts-noto-cjk
)

zib_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

zib_install_packages() {
    local missing
    # A package dpkg has never heard of gets no status line, only a message.
    missing=$(dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' "${zib_packages[@]}" 2>&1 |
        sed 's/^dpkg-query: no packages found matching \(.*\)$/\1 none/' | awk '$2 != "ii" { print $1 }')
    [ -z "$missing" ] && return 0
    echo "setup: installing $(echo $missing)"
    zib_as_root apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive zib_as_root apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# Wine reports code page 932 only when the Japanese locale exists.
zib_generate_locale() {
    locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$' && return 0
    echo "setup: generating the ja_JP.UTF-8 locale"
    if grep -q '^# *ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
        zib_as_root sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    elif ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
        echo 'ja_JP.UTF-8 UTF-8' | zib_as_root tee -a /etc/locale.gen >/dev/null
    fi
    zib_as_root locale-gen >/dev/null
}

zib_setup() {
    zib_install_packages
    zib_generate_locale
}

# Configures a build tree once; later runs only build.
zib_configure() {
    local dir=$1
    shift
    [ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" -G Ninja -Wno-dev "$@" >/dev/null
}

zib_build_windows() {
    zib_configure build/windows -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake"
    cmake --build build/windows "$@"
}
