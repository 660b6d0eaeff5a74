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

# zib_wine_reg KEY NAME VALUE [TYPE]: TYPE is REG_SZ unless given.
zib_wine_reg() {
    wine reg add "$1" /v "$2" /t "${4:-REG_SZ}" /d "$3" /f >/dev/null 2>&1 </dev/null
}

# Creates the prefix once. The dialog font of the program is not in Wine, so
# it is mapped onto the IPA Gothic font that Debian provides.
zib_wine_prefix() {
    local marker="$WINEPREFIX/zib-prefix-1"
    [ -f "$marker" ] && return 0
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null
    zib_wine_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' 'MS UI Gothic' 'IPAGothic'
    wineserver -w
    touch "$marker"
}

# For the tests' virtual display, which has no window manager: unmanaged
# windows spare the 2 s that Wine waits for one whenever a window goes. No
# debugger starts when a program crashes: it ends at once with its
# exception's code, which fails its test. (Wine's own debugger waits for its
# dialog to be closed, so a test waited for ctest's timeout; told not to
# show it, it ends the program with status 0, and the test would pass.)
zib_wine_test_prefix() {
    zib_wine_prefix
    local marker="$WINEPREFIX/zib-test-prefix-3"
    [ -f "$marker" ] && return 0
    zib_wine_reg 'HKCU\Software\Wine\X11 Driver' 'Managed' 'N'
    zib_wine_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' 'Debugger' ''
    wineserver -w
    touch "$marker"
}
