#!/usr/bin/env bash
# The fleet example (examples/ansible) run by Ansible as an operator runs it, against twelve unit
# folders made here, one of them given a bad address: the first run changes every good unit and fails
# the bad one alone; the second changes nothing and touches no file. Hermetic: Ansible's home, temporary
# files and settings are all in the run's own folder; no network, no collections.
# Usage: ansible-fleet.sh TAVRELCTL EXAMPLE_FOLDER
set -euo pipefail
tavrelctl=$1
example=$2

if ! command -v ansible-playbook >/dev/null; then
    echo "ansible-playbook not found: scripts/install-deps.sh installs Debian's ansible-core" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/units"
: >"$work/ansible.cfg"
export HOME=$work/home ANSIBLE_HOME=$work/home/.ansible ANSIBLE_CONFIG=$work/ansible.cfg
export ANSIBLE_LOCAL_TEMP=$work/home/.ansible/tmp ANSIBLE_REMOTE_TEMP=$work/home/.ansible/tmp
export ANSIBLE_COLLECTIONS_PATH=$work/home/collections ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0

units=(unit01 unit02 unit03 unit04 unit05 unit06 unit07 unit08 unit09 unit10 unit11 unit12)
bad=unit07
# Half the units start without lan.cfg, half with one of other settings.
for i in "${!units[@]}"; do
    mkdir "$work/units/${units[$i]}"
    if ((i % 2)); then
        printf '[GENERAL INFORMATION]\r\nMANAGMENT_IP_ADDR=192.168.0.7\r\n' >"$work/units/${units[$i]}/lan.cfg"
    fi
done
# A second inventory source overrides one unit's address with a typing error.
printf 'units:\n  hosts:\n    %s: {control_unit: 10.1.7.300}\n' "$bad" >"$work/bad.yml"

# A file's bytes, or "missing".
content() {
    cat "$1" 2>/dev/null || echo missing
}
bad_before=$(content "$work/units/$bad/lan.cfg")

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs the playbook; checks its status and each unit's line of the recap (changed=, failed=).
run() {
    local round=$1 changed_good=$2 status=0
    ansible-playbook -i "$example/inventory.yml" -i "$work/bad.yml" "$example/playbook.yml" \
        -e "fleet_root=$work/units" -e "tavrelctl=$tavrelctl" >"$work/run$round.log" 2>&1 || status=$?
    # A failed host makes ansible-playbook end with 2.
    [ "$status" -eq 2 ] || fail "run $round: ansible-playbook ended with $status, not 2"
    for unit in "${units[@]}"; do
        local want="changed=$changed_good failed=0"
        [ "$unit" = "$bad" ] && want="changed=0 failed=1"
        local got
        got=$(sed -n "s/^$unit *: .*\(changed=[0-9]*\).*\(failed=[0-9]*\).*/\1 \2/p" "$work/run$round.log")
        [ "$got" = "$want" ] || fail "run $round: $unit: '$got', not '$want'"
    done
    if [ "$failures" -ne 0 ]; then
        cat "$work/run$round.log" >&2
    fi
}

# Every unit's file: its bytes, inode and change time.
snapshot() {
    for unit in "${units[@]}"; do
        printf '%s %s\n' "$unit" "$(stat -c '%i %y %z' "$work/units/$unit/lan.cfg" 2>/dev/null || echo missing)"
        content "$work/units/$unit/lan.cfg"
    done
}

run 1 1
for i in "${!units[@]}"; do
    unit=${units[$i]}
    file=$work/units/$unit/lan.cfg
    if [ "$unit" = "$bad" ]; then
        [ "$(content "$file")" = "$bad_before" ] || fail "the bad unit's lan.cfg was changed"
        continue
    fi
    n=$((10#${unit#unit}))
    expected=$(printf '[GENERAL INFORMATION]\r\nSHELF_MNG_IP_ADDR=10.1.%d.2\r\nSHELF_MNG_SUBNETMASK=255.255.255.0\r\nSHELF_MNG_DEFGATEWAY=10.1.%d.1\r\nMANAGMENT_IP_ADDR=10.1.%d.3\r\nMANAGMENT_SUBNETMASK=255.255.255.0\r\nMANAGMENT_DEFGATEWAY=10.1.%d.1\r\nx' "$n" "$n" "$n" "$n")
    [ "$(content "$file"; printf x)" = "$expected" ] || fail "$unit: lan.cfg holds $(od -c "$file" | head -3)"
done
before=$(snapshot)
run 2 0
[ "$(snapshot)" = "$before" ] || fail "the second run touched a file"

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "twelve units: the first run changed eleven and failed $bad; the second changed nothing"
