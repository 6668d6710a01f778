// Network play. Only what a local game goes through exists so far: the
// turn calls of the game loop, which do nothing but keep the receive set
// while the network is down, and a network start that reports that this
// build cannot play over the network.
#include "net/net.h"

#include "frame/sys.h"

int net_receive_set = 1;
int32_t net_receive_stamp = 0;

namespace {

[[noreturn]] void network_unavailable() {
    sys_exit(6, "unable to initialize network: \"%s\"", "network play is not available in this build");
}

}  // namespace

void net_init() { network_unavailable(); }

void net_server_lobby(int) { network_unavailable(); }

void net_client_join(int) { network_unavailable(); }

void net_begin_turn(int set, int32_t stamp) {
    net_receive_set = set;
    net_receive_stamp = stamp;
}

uint32_t net_wait_turn() { return 0; }

void net_send_controls(int) {}

void net_receive(uint32_t) {}
