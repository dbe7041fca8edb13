#!/usr/bin/env bash
# Usage: scripts/run-tavrel.sh
#
# Starts the shipped 32-bit build/win32/Tavrel.exe under Wine in the folder run/, which gets a sample
# lan.cfg the first time; where this machine cannot run 32-bit code (make run emulates it through
# scripts/with-32bit.sh where it can), the 64-bit build, saying why. With a usable DISPLAY the
# program opens there and this waits until you close it. Without one
# (or with TAVREL_HEADLESS=1) it runs on a virtual display: once the dialog is shown with its fields
# filled, a screenshot goes to build/screenshot.png, the dialog is closed the way the close box
# closes it (nothing is written), and the picture's path is printed.
#
# Environment: TAVREL_EXE (the program to start instead), and those of scripts/wine-session.sh.
set -u

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
run_dir=$repo/run
shot=$repo/build/screenshot.png

say() { echo "run-tavrel: $*" >&2; }

exe=${TAVREL_EXE:-}
if [ -z "$exe" ]; then
    if reason=$("$repo/scripts/can-run-32bit.sh"); then
        exe=$repo/build/win32/Tavrel.exe
    else
        exe=$repo/build/win64/Tavrel.exe
        [ "${1:-}" = --headless-inside-session ] || say "starting the 64-bit build: $reason"
    fi
fi
export TAVREL_EXE=$exe

# Runs inside the Wine session, on its virtual display.
headless() {
    local before
    before=$(mktemp) || return 1
    cp "$run_dir/lan.cfg" "$before"

    (cd "$run_dir" && exec wine64 "$exe") &
    local app=$!

    # Wine names each X window after its caption. The dialog is mapped only after its
    # initialisation has loaded lan.cfg into the fields, so a shown dialog is a filled one.
    local id= status=1
    for _ in $(seq 300); do
        id=$(xwininfo -root -tree 2>/dev/null | awk '$2 == "\"Tavrel\":" { print $1; exit }')
        if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; then
            break
        fi
        id=
        kill -0 "$app" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$id" ]; then
        say "the dialog did not appear within 30 s"
    else
        sleep 1 # let it finish painting
        mkdir -p "$(dirname "$shot")"
        if timeout 30 import -window root "$shot"; then
            status=0
        else
            say "the screenshot failed"
        fi
    fi

    # A close request is what the close box sends: the dialog cancels and writes nothing.
    timeout 30 wine64 taskkill /im Tavrel.exe >/dev/null 2>&1
    for _ in $(seq 150); do
        kill -0 "$app" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$app" 2>/dev/null; then
        say "Tavrel did not close; ending it"
        status=1
    fi
    wait "$app" 2>/dev/null

    if ! cmp -s "$before" "$run_dir/lan.cfg"; then
        say "lan.cfg changed although the dialog was cancelled"
        status=1
    fi
    rm -f "$before"
    [ "$status" -eq 0 ] && echo "Screenshot: $shot"
    return "$status"
}

if [ "${1:-}" = --headless-inside-session ]; then
    headless
    exit
fi

if [ ! -f "$exe" ]; then
    say "$exe not found; build it first (make run builds it)"
    exit 1
fi

mkdir -p "$run_dir"
if [ ! -e "$run_dir/lan.cfg" ]; then
    printf '%s\r\n' "[GENERAL INFORMATION]" "SHELF_MNG_IP_ADDR=10.1.1.2" "SHELF_MNG_SUBNETMASK=255.255.255.0" \
        "SHELF_MNG_DEFGATEWAY=10.1.1.1" "MANAGMENT_IP_ADDR=10.1.1.3" "MANAGMENT_SUBNETMASK=255.255.255.0" \
        "MANAGMENT_DEFGATEWAY=10.1.1.1" >"$run_dir/lan.cfg"
    say "wrote a sample $run_dir/lan.cfg"
fi

if [ "${TAVREL_HEADLESS:-0}" != 1 ] && [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1; then
    cd "$run_dir" && exec "$repo/scripts/wine-session.sh" wine64 "$exe"
fi

export TAVREL_HEADLESS=1
exec "$repo/scripts/wine-session.sh" "$repo/scripts/run-tavrel.sh" --headless-inside-session
