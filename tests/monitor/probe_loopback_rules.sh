#!/bin/sh
# A firewall rule on this machine's loopback for the probe tests, so that one
# 127.x.y.z address stays silent without any traffic leaving the machine. The
# rule sits on the machine, not in a namespace, because under Wine the echo is
# sent by a separate Wine process. Started by the tests from inside Wine, which
# gives them no process handle: the outcome is written to REPLY ("ok", or why
# not).
#
#   probe_loopback_rules.sh add TABLE SILENT_ADDR REPLY
#       drops echo requests to SILENT_ADDR when they arrive
#   probe_loopback_rules.sh remove TABLE REPLY
set -u

answer() {
    printf '%s\n' "$2" >"$1.part" && mv -f "$1.part" "$1"
    exit 0
}

loopback() {
    printf '%s' "$1" | grep -Eqx '127\.[0-9]{1,3}\.[0-9]{1,3}\.[0-9]{1,3}'
}

table_ok() {
    printf '%s' "$1" | grep -Eqx 'korvel_probe_[a-z0-9_]{1,32}'
}

case "${1:-}" in
add)
    [ $# -eq 4 ] || exit 2
    table=$2 silent=$3 reply=$4
    table_ok "$table" || answer "$reply" "bad table name $table"
    loopback "$silent" || answer "$reply" "only loopback addresses"
    command -v nft >/dev/null 2>&1 || answer "$reply" "nft (package nftables) is not installed"
    err=$(nft -f - 2>&1 <<RULES
table ip $table {
    chain input {
        type filter hook input priority 0; policy accept;
        ip daddr $silent icmp type echo-request drop
    }
}
RULES
) || answer "$reply" "nft cannot add a loopback rule here: $err"
    answer "$reply" ok
    ;;
remove)
    [ $# -eq 3 ] || exit 2
    table=$2 reply=$3
    table_ok "$table" || answer "$reply" "bad table name $table"
    err=$(nft delete table ip "$table" 2>&1) || answer "$reply" "$err"
    answer "$reply" ok
    ;;
*)
    exit 2
    ;;
esac
