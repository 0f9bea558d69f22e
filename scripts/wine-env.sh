# Sourced by the scripts that run the Windows cross build under Wine. Everything Wine keeps lives in
# the build tree: the prefix (<build>/wineprefix), the file that COM1 maps to (<build>/wine-com1, a
# symbolic link the tests point at a pseudo-terminal), and the X display of the test session.
# The 32-bit build runs in a win32 prefix with Wine's 32-bit loader, the x86_64 build in a win64
# prefix with wine64 (the toolchain file records which in the cache as VORNIKAL_WINE_ARCH). Both are
# called as $WINELOADER: the `wine` wrapper takes the 32-bit loader whenever wine32 is installed.

# Exports the Wine environment of the build tree that holds directory $1 (the nearest folder above
# it with a CMakeCache.txt), or of $VORNIKAL_BUILD_ROOT when that is set.
vornikal_wine_env() {
    local dir
    dir=$(cd "${VORNIKAL_BUILD_ROOT:-$1}" && pwd)
    while [ -z "${VORNIKAL_BUILD_ROOT:-}" ] && [ ! -f "$dir/CMakeCache.txt" ]; do
        if [ "$dir" = / ]; then
            echo "wine-env: $1 is not inside a build tree" >&2
            return 1
        fi
        dir=$(dirname "$dir")
    done
    export VORNIKAL_BUILD_ROOT=$dir
    export VORNIKAL_WINE_COM1=$dir/wine-com1
    export WINEPREFIX=$dir/wineprefix
    # Given by CMake while it configures the tree, when the cache is not written yet.
    WINEARCH=${VORNIKAL_WINE_ARCH:-$(sed -n 's/^VORNIKAL_WINE_ARCH:INTERNAL=//p' "$dir/CMakeCache.txt" 2>/dev/null)}
    export WINEARCH=${WINEARCH:-win32}
    if [ "$WINEARCH" = win64 ]; then
        export WINELOADER=/usr/lib/wine/wine64
    else
        export WINELOADER=/usr/lib/wine/wine
    fi
    export WINEDEBUG=-all
    # No prompts to fetch Mono or Gecko: nothing here needs them.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # Wine takes its ANSI code page from the locale: 950, the program's home code page.
    vornikal_zh_tw_locale
    export LC_ALL=zh_TW.UTF-8
    if [ -f "$dir/wine-display" ]; then
        DISPLAY=$(cat "$dir/wine-display")
        export DISPLAY
    fi
}

vornikal_zh_tw_locale() {
    locale -a 2>/dev/null | grep -qix 'zh_TW.utf-\?8' && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "wine-env: the locale zh_TW.UTF-8 is missing; run: sudo localedef -i zh_TW -f UTF-8 zh_TW.UTF-8" >&2
        return 1
    fi
    localedef -i zh_TW -f UTF-8 zh_TW.UTF-8
}

# Makes the prefix once (under a lock, so parallel tests wait for it): a $WINEARCH prefix with COM1
# mapped to $VORNIKAL_WINE_COM1 and the dialogs' face mapped to the Ming face that fits them.
vornikal_wine_prefix() {
    (
        flock 9
        [ -f "$WINEPREFIX/system.reg" ] && { vornikal_wine_symbol_font; exit; }
        rm -rf "$WINEPREFIX"
        local log=$VORNIKAL_BUILD_ROOT/wineprefix-setup.log
        # No pipe may reach Wine's background services: they would hold it open after we are done.
        "$WINELOADER" wineboot -i </dev/null >"$log" 2>&1
        "$WINELOADER" reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$VORNIKAL_WINE_COM1" /f </dev/null >>"$log" 2>&1
        "$WINELOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '新細明體' /t REG_SZ /d 'Noto Serif CJK TC' /f \
            </dev/null >>"$log" 2>&1
        # Windows draw their own caption and frame: the test display has no window manager.
        "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >>"$log" 2>&1
        # COM1 is linked from the registry when a session starts: end this one so the next has it.
        wineserver -k </dev/null >>"$log" 2>&1 || true
        wineserver -w </dev/null >>"$log" 2>&1 || true
        vornikal_wine_symbol_font
    ) 9>"$VORNIKAL_BUILD_ROOT/wineprefix.lock"
}

# Wine draws the caption's buttons with the symbol font Marlett (Debian's fonts-wine); without it they
# show letters. Debian's Wine does not read its own font folder: the font goes into the prefix's.
vornikal_wine_symbol_font() {
    local font=/usr/share/wine/fonts/marlett.ttf
    if [ ! -f "$font" ]; then
        echo "wine-env: $font is missing: install fonts-wine (scripts/install-deps.sh)" >&2
        return 1
    fi
    cp -u "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
}
