#!/usr/bin/env bash
# Three network games on one computer for MINUTES minutes, inside a network
# namespace that loses LOSS_PERCENT of its UDP datagrams, with keys pressed
# at random on all three: prints the digests compared and each computer's
# end-of-game line (turns, waits, resends). Needs root (namespaces and
# nftables) and a build in BUILD_DIR (default build/). Each computer's log and
# replay are kept in FENDA_NET_KEEP (default: a new directory under /tmp).
#   tools/net/soak.sh MINUTES LOSS_PERCENT
set -euo pipefail
if [ $# -ne 2 ]; then echo "usage: $0 MINUTES LOSS_PERCENT" >&2; exit 2; fi
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
export FENDA_NET_SECONDS=$(( $1 * 60 )) FENDA_NET_LOSS=$2
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# Each computer's log and replay are kept for a look afterwards.
export FENDA_NET_KEEP=${FENDA_NET_KEEP:-$(mktemp -d /tmp/fenda_soak_XXXXXX)}
echo "soak: $1 minutes at $2 % loss; logs and replays go to $FENDA_NET_KEEP"
"$build/tests/net_process_tests" --gtest_filter=ProcessNetPlay.ThreeGamesStayEqualUnderPacketLoss
