# Sourced: the environment under which the program runs in Wine, for a Wine
# directory DIR (prefix in DIR/prefix). Japanese locale gives code page 932.
zib_wine_env() {
    local dir=$1
    export WINEPREFIX="$dir/prefix"
    export WINEARCH=win64
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree=;mshtml="
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
}

# Creates the prefix once; the dialog font of the program is not in Wine, so
# it is mapped onto the IPA Gothic font that Debian provides.
zib_wine_prefix() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'MS UI Gothic' /d 'IPAGothic' /f >/dev/null 2>&1
    wineserver -w
}
