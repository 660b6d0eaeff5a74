# Sourced by run.sh and test.sh: installs whatever is missing on a Debian 12
# machine, quietly, and only when it is missing.

zib_packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libxml2-dev pkg-config python3
    g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth x11-apps imagemagick
    fonts-ipafont-gothic locales python3 python3-lxml libxml2-utils
    nodejs chromium chromium-driver python3-selenium fonts-noto-cjk
    libxlsxwriter-dev libz-mingw-w64-dev dpkg-dev libreoffice-calc-nogui libminizip-dev libexpat1-dev
    libsqlite3-dev tcl libdeflate-dev
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

# Debian's source packages, from which the libraries the Windows build
# links statically are built.
zib_enable_sources() {
    local list=/etc/apt/sources.list.d/zib-deb-src.sources
    [ -f "$list" ] && return 0
    printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' 'Components: main' \
        'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' | zib_as_root tee "$list" >/dev/null
    zib_as_root apt-get update -qq
}

# zib_debian_source PACKAGE: the folder of Debian's source package PACKAGE
# in build/third-party/src, fetched the first time.
zib_debian_source() {
    local src=$PWD/build/third-party/src
    mkdir -p "$src"
    (cd "$src" && { ls -d "$1"-*/ >/dev/null 2>&1 || apt-get source -qq "$1" >/dev/null 2>&1; }) || return 1
    ls -d "$src/$1"-*/ | head -n 1
}

# The libraries of zibconv's workbooks for the Windows build, from Debian's
# source packages, cross-built as static libraries into
# build/third-party/mingw, where cmake/mingw-w64.cmake finds them:
# libxlsxwriter (against libz-mingw-w64-dev), the minizip it carries, and
# expat (without its document type support, which no workbook needs and
# Debian's patched source does not build). Once built they stay; removing
# build/third-party builds them again.
zib_mingw_libraries() {
    local root=$PWD/build/third-party
    local prefix=$root/mingw
    [ -f "$prefix/lib/libxlsxwriter.a" ] && [ -f "$prefix/lib/libminizip.a" ] && [ -f "$prefix/lib/libexpat.a" ] &&
        return 0
    zib_enable_sources
    echo "setup: building libxlsxwriter, minizip and expat for Windows from Debian's sources"
    mkdir -p "$prefix/lib" "$prefix/include/minizip"
    local xlsxwriter expat
    xlsxwriter=$(zib_debian_source libxlsxwriter) || return 1
    expat=$(zib_debian_source expat)expat || return 1 # the library's own folder
    local toolchain=$PWD/cmake/mingw-w64.cmake
    cmake -S "$xlsxwriter" -B "$root/build-xlsxwriter" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DUSE_SYSTEM_MINIZIP=OFF >/dev/null &&
        cmake --build "$root/build-xlsxwriter" >/dev/null && cmake --install "$root/build-xlsxwriter" >/dev/null ||
        return 1
    # minizip, as Debian's libminizip-dev has it natively.
    local minizip=$xlsxwriter/third_party/minizip objects=()
    local file
    for file in unzip zip ioapi; do
        x86_64-w64-mingw32-gcc-posix -O2 -c "$minizip/$file.c" -o "$root/minizip-$file.o" || return 1
        objects+=("$root/minizip-$file.o")
    done
    x86_64-w64-mingw32-ar rcs "$prefix/lib/libminizip.a" "${objects[@]}" &&
        cp "$minizip/unzip.h" "$minizip/zip.h" "$minizip/ioapi.h" "$prefix/include/minizip/" || return 1
    cmake -S "$expat" -B "$root/build-expat" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" -DEXPAT_SHARED_LIBS=OFF \
        -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF \
        -DEXPAT_BUILD_PKGCONFIG=OFF -DEXPAT_DTD=OFF >/dev/null &&
        cmake --build "$root/build-expat" >/dev/null && cmake --install "$root/build-expat" >/dev/null
}

# SQLite for the Windows build's Anki export, from Debian's sqlite3 source
# package, the same version as the native libsqlite3-dev (the database's
# header names the version that wrote it): its amalgamation is generated
# natively (tclsh) and compiled with mingw into build/third-party/mingw.
# Secure delete as Debian builds it, so that both write the same pages.
zib_mingw_sqlite() {
    local root=$PWD/build/third-party
    local prefix=$root/mingw
    [ -f "$prefix/lib/libsqlite3.a" ] && [ -f "$prefix/include/sqlite3.h" ] && return 0
    zib_enable_sources
    echo "setup: building SQLite for Windows from Debian's source"
    mkdir -p "$root/build-sqlite" "$prefix/lib" "$prefix/include"
    local source
    source=$(zib_debian_source sqlite3) || return 1
    (cd "$root/build-sqlite" && "$source/configure" --disable-tcl >/dev/null && make sqlite3.c >/dev/null) &&
        x86_64-w64-mingw32-gcc-posix -O2 -DSQLITE_SECURE_DELETE -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION \
            -c "$root/build-sqlite/sqlite3.c" -o "$root/build-sqlite/sqlite3.o" &&
        x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$root/build-sqlite/sqlite3.o" &&
        cp "$root/build-sqlite/sqlite3.h" "$prefix/include/"
}

# libdeflate for the Windows build's packages (QTI, Anki), from Debian's
# source package, the same version as the native libdeflate-dev (its
# compressed bytes are the package's bytes): its own Makefile, with mingw.
zib_mingw_libdeflate() {
    local root=$PWD/build/third-party
    local prefix=$root/mingw
    [ -f "$prefix/lib/libdeflate.a" ] && [ -f "$prefix/include/libdeflate.h" ] && return 0
    zib_enable_sources
    echo "setup: building libdeflate for Windows from Debian's source"
    mkdir -p "$prefix/lib" "$prefix/include"
    local source
    source=$(zib_debian_source libdeflate) || return 1
    (cd "$source" && make -s CC=x86_64-w64-mingw32-gcc-posix AR=x86_64-w64-mingw32-ar libdeflatestatic.lib >/dev/null) &&
        cp "$source/libdeflatestatic.lib" "$prefix/lib/libdeflate.a" &&
        cp "$source/libdeflate.h" "$prefix/include/"
}

# mnemosyne, a flashcard program written elsewhere whose Anki importer the
# Anki export's test (tests/anki) reads zibconv's decks with: only its
# Debian package, unpacked into a cache outside the repository, run
# headless from Python with the standard library (its desktop's
# dependencies are not installed). Never shipped.
zib_mnemosyne_dir=${XDG_CACHE_HOME:-$HOME/.cache}/zib/mnemosyne
zib_mnemosyne() {
    [ -f "$zib_mnemosyne_dir/usr/lib/python3/dist-packages/mnemosyne/libmnemosyne/file_formats/anki2.py" ] && return 0
    echo "setup: unpacking mnemosyne for the Anki export's test into $zib_mnemosyne_dir"
    local download
    download=$(mktemp -d) || return 1
    (cd "$download" && apt-get download -qq mnemosyne >/dev/null 2>&1) &&
        mkdir -p "$zib_mnemosyne_dir" && dpkg-deb -x "$download"/mnemosyne_*.deb "$zib_mnemosyne_dir"
    local status=$?
    rm -rf "$download"
    return $status
}

# anki-reader, an npm reader of Anki packages, pinned, into a cache folder
# of its own outside the work tree, for the Anki export's test.
zib_anki_reader_version=0.3.0
zib_anki_reader_dir=${XDG_CACHE_HOME:-$HOME/.cache}/zib/anki-reader-$zib_anki_reader_version
zib_anki_reader() {
    [ -f "$zib_anki_reader_dir/node_modules/anki-reader/package.json" ] && return 0
    echo "setup: installing anki-reader $zib_anki_reader_version for the Anki export's test"
    zib_have_npm || return 1
    mkdir -p "$zib_anki_reader_dir" &&
        npm install --prefix "$zib_anki_reader_dir" --no-save --no-audit --no-fund --silent \
            "anki-reader@$zib_anki_reader_version" >/dev/null
}

# npm for the pinned test tools below: Debian's nodejs comes without it;
# other builds of node bring their own.
zib_have_npm() {
    command -v npm >/dev/null ||
        DEBIAN_FRONTEND=noninteractive zib_as_root apt-get install -y -qq --no-install-recommends npm >/dev/null
}

# gift-pegjs, a GIFT parser written elsewhere, which the GIFT export's test
# (tests/gift) reads zibconv's files with: pinned to one version, into a
# cache outside the repository (ZIB_NPM_CACHE of tests/gift/CMakeLists.txt, the
# same folder), never shipped.
zib_gift_parser_version=1.0.2
zib_npm_cache=${ZIB_NPM_CACHE:-$HOME/.cache/zib-npm}
zib_gift_parser() {
    local installed=$zib_npm_cache/node_modules/gift-pegjs/package.json
    [ -f "$installed" ] && grep -q "\"version\": \"$zib_gift_parser_version\"" "$installed" && return 0
    echo "setup: installing gift-pegjs $zib_gift_parser_version into $zib_npm_cache"
    zib_have_npm || return 1
    mkdir -p "$zib_npm_cache" &&
        npm install --prefix "$zib_npm_cache" --no-audit --no-fund --no-save --silent \
            "gift-pegjs@$zib_gift_parser_version" >/dev/null
}

# The browser test's accessibility checker, pinned, from npm into a cache
# outside the work tree: the test injects its axe.min.js into the page it
# reads; the product never holds it.
zib_axe_version=4.14.1
zib_axe_dir=${XDG_CACHE_HOME:-$HOME/.cache}/zib/axe-core-$zib_axe_version
zib_axe_core() {
    [ -f "$zib_axe_dir/node_modules/axe-core/axe.min.js" ] && return 0
    echo "setup: installing axe-core $zib_axe_version for the page's browser test"
    zib_have_npm || return 1
    mkdir -p "$zib_axe_dir" &&
        npm install --prefix "$zib_axe_dir" --no-save --no-audit --no-fund --silent "axe-core@$zib_axe_version" >/dev/null
}

# The QTI export's player test: a converter of QTI 2.1 packages to QTI 3
# and a QTI 3 player that scores items in the browser, each pinned and in a
# cache folder of its own outside the work tree (npm prunes what a folder's
# other installs did not ask for). qti-components is GPL: a test tool only,
# never shipped.
zib_qti_convert_version=0.3.52
zib_qti_components_version=7.27.4
zib_qti_cache=${XDG_CACHE_HOME:-$HOME/.cache}/zib
zib_qti_package() {
    local name=$1 version=$2 folder=$zib_qti_cache/$3-$2
    [ -f "$folder/node_modules/$name/package.json" ] && return 0
    echo "setup: installing $name $version for the QTI export's player test"
    zib_have_npm || return 1
    mkdir -p "$folder" &&
        npm install --prefix "$folder" --no-save --no-audit --no-fund --silent "$name@$version" >/dev/null
}
zib_qti_players() {
    zib_qti_package @citolab/qti-convert "$zib_qti_convert_version" qti-convert &&
        zib_qti_package @citolab/qti-components "$zib_qti_components_version" qti-components
}

zib_setup() {
    zib_install_packages
    zib_generate_locale
    zib_mingw_libraries
    zib_mingw_sqlite
    zib_mingw_libdeflate
    zib_gift_parser
    zib_axe_core
    zib_mnemosyne
    zib_anki_reader
    zib_qti_players
}

# Configures a build tree once; later runs only build (a tree whose
# configuring failed is configured again).
zib_configure() {
    local dir=$1
    shift
    [ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja -Wno-dev "$@" >/dev/null
}

zib_configure_windows() {
    zib_configure "$1" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake"
}

zib_build_windows() {
    zib_configure_windows build/windows && cmake --build build/windows "$@"
}
